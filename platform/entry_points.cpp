#include "platform/entry_points.h"

#include <cstdint>
#include <cstring>

#include "document/text_buffer.h"
#include "platform/gl_limits.h"

// One name of the table at p, whose first byte (read by the caller into
// shared) it passes: the first shared characters of previous, then the rest
// that follows. Written at out, which moves past it, as p does.
static const char* DecodeName(const unsigned char*& p, std::size_t shared, const char* previous, char*& out)
{
    ++p;
    const std::size_t rest = std::strlen(reinterpret_cast<const char*>(p));
    char* name = out;
    std::memcpy(name, previous, shared);
    std::memcpy(name + shared, p, rest + 1);
    out += shared + rest + 1;
    p += rest + 1;
    return name;
}

EntryPointRegistry::EntryPointRegistry(const EntryPointTable& table) : table_(table)
{
    const std::size_t commands = static_cast<std::size_t>(table.commandCount);
    const std::size_t groups = static_cast<std::size_t>(table.groupCount);
    text_ = static_cast<char*>(std::malloc(table.commandTextBytes + table.groupTextBytes));
    commandNames_ = static_cast<const char**>(std::malloc(commands * sizeof(const char*) + 1));
    commandFlags_ = static_cast<unsigned char*>(std::malloc(commands + 1));
    groupNames_ = static_cast<const char**>(std::malloc(groups * sizeof(const char*) + 1));
    groupCommands_ = static_cast<const unsigned char**>(std::malloc(groups * sizeof(const unsigned char*) + 1));
    if (text_ == nullptr || commandNames_ == nullptr || commandFlags_ == nullptr || groupNames_ == nullptr ||
        groupCommands_ == nullptr)
        return;

    // Each name is the start of the one before it and a rest of its own.
    char* out = text_;
    const char* previous = "";
    const unsigned char* p = reinterpret_cast<const unsigned char*>(table.commands);
    for (std::size_t i = 0; i < commands; ++i) {
        commandFlags_[i] = *p & 0xC0;
        commandNames_[i] = previous = DecodeName(p, *p & 0x3F, previous, out);
    }
    previous = "";
    p = reinterpret_cast<const unsigned char*>(table.groups);
    for (std::size_t g = 0; g < groups; ++g) {
        groupNames_[g] = previous = DecodeName(p, *p, previous, out);
        groupCommands_[g] = p;
        for (unsigned long count = ReadNumber(p); count > 0; --count)
            ReadNumber(p);
    }
    ok_ = true;
}

EntryPointRegistry::~EntryPointRegistry()
{
    std::free(text_);
    std::free(commandNames_);
    std::free(commandFlags_);
    std::free(groupNames_);
    std::free(groupCommands_);
}

unsigned long EntryPointRegistry::ReadNumber(const unsigned char*& p)
{
    unsigned long value = 0;
    for (int shift = 0;; shift += 7) {
        const unsigned char byte = *p++;
        value |= static_cast<unsigned long>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
}

int EntryPointRegistry::FindExtension(const char* name) const
{
    // The extensions follow the versions, sorted by their bytes.
    int low = VersionCount();
    int high = GroupCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int order = std::strcmp(groupNames_[middle], name);
        if (order == 0)
            return middle;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return -1;
}

int EntryPointRegistry::GroupCommandCount(int group) const
{
    const unsigned char* p = groupCommands_[group];
    return static_cast<int>(ReadNumber(p));
}

bool IsMissingAnswer(const void* answer)
{
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(answer);
    return value <= 3 || value == static_cast<std::uintptr_t>(-1);
}

namespace {

long AnswerValue(const void* answer)
{
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(answer);
    return value == static_cast<std::uintptr_t>(-1) ? -1 : static_cast<long>(value);
}

const char kCoreSuffix[] = " (core profile)";

// The group's name as a missing command's record has it, copied into pool:
// the registry's names go when it does.
const char* MissingOf(const EntryPointRegistry& registry, int group, bool core, FactPool& pool)
{
    const char* name = registry.GroupName(group);
    const std::size_t length = std::strlen(name);
    const std::size_t suffix = core ? sizeof kCoreSuffix - 1 : 0;
    char* of = pool.Allocate(length + suffix);
    if (of != nullptr) {
        std::memcpy(of, name, length);
        std::memcpy(of + length, kCoreSuffix, suffix);
    }
    return of;
}

// Asks for every command of group (but those the core profile lacks, when
// core), counts them into checked and found, and keeps the missing ones.
bool CheckGroup(const EntryPointRegistry& registry, CommandLookup lookup, int group, bool core, FactPool& pool,
                int& checked, int& found, FactArray<MissingEntryPoint>& missing)
{
    bool ok = true;
    const char* of = nullptr;
    registry.ForEachCommand(group, [&](int command) {
        if (core && registry.NotInCoreProfile(command))
            return;
        const void* answer = lookup(registry.Command(command), registry.IsOpenGlExport(command));
        ++checked;
        if (!IsMissingAnswer(answer)) {
            ++found;
            return;
        }
        if (of == nullptr)
            of = MissingOf(registry, group, core, pool);
        const MissingEntryPoint entry = {of, pool.Copy(registry.Command(command)), AnswerValue(answer)};
        ok = entry.of != nullptr && entry.command != nullptr && missing.Add(entry) && ok;
    });
    return ok;
}

// The version of a group "GL_VERSION_M_N".
GlVersion GroupVersion(const char* name)
{
    static const char kPrefix[] = "GL_VERSION_";
    const char* p = name + sizeof kPrefix - 1;
    GlVersion version = {0, 0};
    for (; *p >= '0' && *p <= '9'; ++p)
        version.major = version.major * 10 + (*p - '0');
    for (p += *p == '_' ? 1 : 0; *p >= '0' && *p <= '9'; ++p)
        version.minor = version.minor * 10 + (*p - '0');
    return version;
}

// Checks the groups of the versions up to version; the version as "M.N", in pool.
const char* CheckVersion(const EntryPointRegistry& registry, CommandLookup lookup, const char* version, bool core,
                         FactPool& pool, int& checked, int& found, FactArray<MissingEntryPoint>& missing,
                         bool& ok)
{
    const GlVersion wanted = ParseGlVersion(version);
    for (int group = 0; group < registry.VersionCount(); ++group) {
        const GlVersion have = GroupVersion(registry.GroupName(group));
        if (have.major > wanted.major || (have.major == wanted.major && have.minor > wanted.minor))
            continue;
        ok = CheckGroup(registry, lookup, group, core, pool, checked, found, missing) && ok;
    }
    TextBuffer text;
    text.AppendNumber(wanted.major);
    text.AppendChar('.');
    text.AppendNumber(wanted.minor);
    const char* copy = pool.Copy(text.Text());
    ok = ok && text.Ok() && copy != nullptr;
    return copy;
}

// Adds the missing commands found now to those facts has, in one block of pool.
bool KeepMissing(const FactArray<MissingEntryPoint>& found, FactPool& pool, EntryPointFacts& facts)
{
    if (!found.Ok())
        return false;
    if (found.Count() == 0)
        return true;
    const std::size_t before = static_cast<std::size_t>(facts.missingCount);
    const std::size_t count = before + static_cast<std::size_t>(found.Count());
    // A pool's block starts after a pointer, so at a pointer's alignment.
    static_assert(alignof(MissingEntryPoint) <= alignof(void*), "records the pool can hold");
    MissingEntryPoint* all = reinterpret_cast<MissingEntryPoint*>(pool.Allocate(count * sizeof(MissingEntryPoint)));
    if (all == nullptr)
        return false;
    if (before > 0)
        std::memcpy(all, facts.missing, before * sizeof(MissingEntryPoint));
    std::memcpy(all + before, found.Items(), static_cast<std::size_t>(found.Count()) * sizeof(MissingEntryPoint));
    facts.missing = all;
    facts.missingCount = static_cast<int>(count);
    return true;
}

}  // namespace

bool CheckVersionEntryPoints(const EntryPointRegistry& registry, CommandLookup lookup, const char* version,
                             bool core, FactPool& pool, EntryPointFacts& facts)
{
    bool ok = registry.Ok();
    FactArray<MissingEntryPoint> missing;
    int& checked = core ? facts.coreChecked : facts.checked;
    int& found = core ? facts.coreFound : facts.found;
    const char* text = CheckVersion(registry, lookup, version, core, pool, checked, found, missing, ok);
    (core ? facts.coreVersion : facts.version) = text;
    return KeepMissing(missing, pool, facts) && ok;
}

bool CheckExtensionEntryPoints(const EntryPointRegistry& registry, CommandLookup lookup,
                               const char* const* extensions, int extensionCount, FactPool& pool,
                               EntryPointFacts& facts)
{
    bool ok = registry.Ok();
    FactArray<MissingEntryPoint> missing;
    for (int i = 0; i < extensionCount; ++i) {
        if (extensions[i] == nullptr || extensions[i][0] == '\0')
            continue;
        const int group = registry.FindExtension(extensions[i]);
        if (group < 0) {
            ++facts.unknownExtensions;
            continue;
        }
        ++facts.extensions;
        ok = CheckGroup(registry, lookup, group, false, pool, facts.extensionCommands, facts.extensionFound,
                        missing) && ok;
    }
    return KeepMissing(missing, pool, facts) && ok;
}
