#include "compare/report_members.h"

#include <cstring>

namespace {

constexpr unsigned kText = kTypeString;
constexpr unsigned kTextOrNull = kTypeString | kTypeNull;
constexpr unsigned kInteger = kTypeInteger;
constexpr unsigned kIntegerOrNull = kTypeInteger | kTypeNull;
constexpr unsigned kFlag = kTypeBoolean;
constexpr unsigned kList = kTypeArray;
constexpr unsigned kRecord = kTypeObject;
constexpr unsigned kRecordOrNull = kTypeObject | kTypeNull;
constexpr unsigned kNumberOrNull = kTypeNumber | kTypeNull;
constexpr unsigned kFlagOrNull = kTypeBoolean | kTypeNull;

// The members of docs/report.schema.json, in the order the report writes
// them: a member the report gains goes here too. A member not listed (one of
// a later minor version) is compared all the same, without a type check.
const KnownMember kKnownMembers[] = {
    {"schemaVersion", kText, nullptr},
    {"vendor", kText, nullptr},
    {"renderer", kText, nullptr},
    {"version", kText, nullptr},
    {"pixelFormat", kRecord, nullptr},
    {"pixelFormat.index", kInteger, nullptr},
    {"pixelFormat.samples", kIntegerOrNull, nullptr},
    {"system", kRecordOrNull, nullptr},
    {"system.name", kText, nullptr},
    {"system.major", kIntegerOrNull, nullptr},
    {"system.minor", kIntegerOrNull, nullptr},
    {"system.build", kIntegerOrNull, nullptr},
    {"system.servicePack", kText, nullptr},
    {"system.is64BitWindows", kFlag, nullptr},
    {"system.wine", kRecordOrNull, nullptr},
    {"system.wine.version", kText, nullptr},
    {"system.wine.hostSystem", kTextOrNull, nullptr},
    {"system.wine.hostRelease", kTextOrNull, nullptr},
    {"remoteSession", kFlag, nullptr},
    {"display", kRecordOrNull, nullptr},
    {"display.width", kInteger, nullptr},
    {"display.height", kInteger, nullptr},
    {"display.bits", kInteger, nullptr},
    {"display.refresh", kIntegerOrNull, nullptr},
    {"display.dpi", kInteger, nullptr},
    {"display.adapter", kTextOrNull, nullptr},
    {"glExtensions", kList, nullptr},
    {"glExtensions[]", kText, nullptr},
    {"wglExtensions", kList, nullptr},
    {"wglExtensions[]", kText, nullptr},
    {"drivers", kRecord, nullptr},
    {"drivers.key", kText, nullptr},
    {"drivers.view32Key", kTextOrNull, nullptr},
    // A registration keeps its DLL when the switch renames its value ("~").
    {"drivers.entries", kList, "dllName"},
    {"drivers.entries[]", kRecord, nullptr},
    {"drivers.entries[].line", kText, nullptr},
    {"drivers.entries[].valueName", kText, nullptr},
    {"drivers.entries[].dllName", kText, nullptr},
    {"drivers.entries[].selected", kFlag, nullptr},
    {"acceleration", kRecord, nullptr},
    {"acceleration.level", kText, nullptr},
    {"acceleration.reason", kText, nullptr},
    {"advice", kList, nullptr},
    {"advice[]", kText, nullptr},
    {"renderCheck", kRecordOrNull, nullptr},
    {"renderCheck.result", kText, nullptr},
    {"renderCheck.reason", kTextOrNull, nullptr},
    {"renderCheck.width", kInteger, nullptr},
    {"renderCheck.height", kInteger, nullptr},
    {"renderCheck.samples", kInteger, nullptr},
    {"renderCheck.angles", kList, nullptr},
    {"renderCheck.angles[]", kTypeNumber, nullptr},
    {"renderCheck.counts", kRecordOrNull, nullptr},
    {"renderCheck.counts.background", kInteger, nullptr},
    {"renderCheck.counts.red", kInteger, nullptr},
    {"renderCheck.counts.green", kInteger, nullptr},
    {"renderCheck.counts.blue", kInteger, nullptr},
    {"renderCheck.counts.other", kInteger, nullptr},
    {"renderCheck.expected", kRecord, nullptr},
    {"renderCheck.expected.red", kInteger, nullptr},
    {"renderCheck.expected.green", kInteger, nullptr},
    {"renderCheck.expected.blue", kInteger, nullptr},
    {"renderCheck.edgesBlended", kFlagOrNull, nullptr},
    {"renderCheck.target", kText, nullptr},
    {"renderCheck.screen", kRecordOrNull, nullptr},
    {"renderCheck.screen.result", kText, nullptr},
    {"renderCheck.screen.reason", kTextOrNull, nullptr},
    {"renderCheck.screen.counts", kRecordOrNull, nullptr},
    {"renderCheck.screen.counts.background", kInteger, nullptr},
    {"renderCheck.screen.counts.red", kInteger, nullptr},
    {"renderCheck.screen.counts.green", kInteger, nullptr},
    {"renderCheck.screen.counts.blue", kInteger, nullptr},
    {"renderCheck.screen.counts.other", kInteger, nullptr},
    {"drawRate", kRecordOrNull, nullptr},
    {"drawRate.framesPerSecond", kNumberOrNull, nullptr},
    {"drawRate.msPerFrame", kNumberOrNull, nullptr},
    {"drawRate.frames", kInteger, nullptr},
    {"drawRate.width", kInteger, nullptr},
    {"drawRate.height", kInteger, nullptr},
    {"drawRate.samples", kInteger, nullptr},
    {"drawRate.swapInterval", kIntegerOrNull, nullptr},
    {"drawRate.note", kTextOrNull, nullptr},
    {"shadingLanguage", kTextOrNull, nullptr},
    {"coreProfile", kTextOrNull, nullptr},
    {"esProfile", kRecordOrNull, nullptr},
    {"esProfile.version", kText, nullptr},
    {"esProfile.versionString", kText, nullptr},
    {"esProfile.shadingLanguage", kTextOrNull, nullptr},
    {"videoMemory", kRecordOrNull, nullptr},
    {"videoMemory.totalMB", kInteger, nullptr},
    {"videoMemory.freeMB", kIntegerOrNull, nullptr},
    {"videoMemory.source", kText, nullptr},
    {"videoMemory.vendorId", kIntegerOrNull, nullptr},
    {"videoMemory.deviceId", kIntegerOrNull, nullptr},
    {"entryPoints", kRecord, nullptr},
    {"entryPoints.version", kText, nullptr},
    {"entryPoints.checked", kInteger, nullptr},
    {"entryPoints.found", kInteger, nullptr},
    {"entryPoints.core", kRecordOrNull, nullptr},
    {"entryPoints.core.version", kText, nullptr},
    {"entryPoints.core.checked", kInteger, nullptr},
    {"entryPoints.core.found", kInteger, nullptr},
    {"entryPoints.extensions", kInteger, nullptr},
    {"entryPoints.extensionCommands", kInteger, nullptr},
    {"entryPoints.extensionFound", kInteger, nullptr},
    {"entryPoints.unknownExtensions", kInteger, nullptr},
    {"entryPoints.missing", kList, nullptr},
    {"entryPoints.missing[]", kRecord, nullptr},
    {"entryPoints.missing[].of", kText, nullptr},
    {"entryPoints.missing[].command", kText, nullptr},
    {"entryPoints.missing[].answer", kIntegerOrNull, nullptr},
    {"driverDlls", kList, "path"},
    {"driverDlls[]", kRecord, nullptr},
    {"driverDlls[].path", kText, nullptr},
    {"driverDlls[].version", kTextOrNull, nullptr},
    {"driverDlls[].source", kText, nullptr},
    {"extensionBytes", kRecord, nullptr},
    {"extensionBytes.gl", kInteger, nullptr},
    {"extensionBytes.wgl", kInteger, nullptr},
    {"limits", kList, "name"},
    {"limits[]", kRecord, nullptr},
    {"limits[].name", kText, nullptr},
    {"limits[].values", kList, nullptr},
    {"limits[].values[]", kInteger, nullptr},
    {"subkeyDrivers", kList, "name"},
    {"subkeyDrivers[]", kRecord, nullptr},
    {"subkeyDrivers[].name", kText, nullptr},
    {"subkeyDrivers[].dll", kText, nullptr},
    // An adapter keeps its description when a driver update moves its DLL.
    {"displayAdapters", kList, "description"},
    {"displayAdapters[]", kRecord, nullptr},
    {"displayAdapters[].description", kText, nullptr},
    {"displayAdapters[].name", kText, nullptr},
    {"displayAdapters[].wowName", kTextOrNull, nullptr},
    {"displayAdapters[].driverVersion", kTextOrNull, nullptr},
    {"displayAdapters[].driverDate", kTextOrNull, nullptr},
    {"pixelFormats", kList, "index"},
    {"pixelFormats[]", kRecord, nullptr},
    {"pixelFormats[].index", kInteger, nullptr},
    {"pixelFormats[].drawToWindow", kFlag, nullptr},
    {"pixelFormats[].acceleration", kText, nullptr},
    {"pixelFormats[].colorBits", kInteger, nullptr},
    {"pixelFormats[].alphaBits", kInteger, nullptr},
    {"pixelFormats[].depthBits", kInteger, nullptr},
    {"pixelFormats[].stencilBits", kInteger, nullptr},
    {"pixelFormats[].doubleBuffered", kFlag, nullptr},
    {"pixelFormats[].sampleBuffers", kIntegerOrNull, nullptr},
    {"pixelFormats[].samples", kIntegerOrNull, nullptr},
    {"pixelFormats[].selected", kFlag, nullptr},
};

}  // namespace

void MemberPath::PushName(const char* bytes, std::size_t length)
{
    saved_[depth_++] = length_;
    if (overflow_ > 0) {
        ++overflow_;
        return;
    }
    const bool item = bytes == nullptr;
    const std::size_t needed = item ? 2 : length + (length_ > 0 ? 1 : 0);
    if (length_ + needed + 1 > sizeof(text_) || (!item && std::memchr(bytes, '\0', length) != nullptr)) {
        overflow_ = 1;
        return;
    }
    if (item) {
        text_[length_++] = '[';
        text_[length_++] = ']';
    } else {
        if (length_ > 0)
            text_[length_++] = '.';
        std::memcpy(text_ + length_, bytes, length);
        length_ += length;
    }
    text_[length_] = '\0';
}

void MemberPath::Pop()
{
    length_ = saved_[--depth_];
    text_[length_] = '\0';
    if (overflow_ > 0)
        --overflow_;
}

const KnownMember* FindKnownMember(const MemberPath& path)
{
    const char* text = path.Text();
    if (text == nullptr)
        return nullptr;
    for (const KnownMember& member : kKnownMembers) {
        if (std::strcmp(member.path, text) == 0)
            return &member;
    }
    return nullptr;
}

unsigned JsonTypeOf(const JsonDocument& document, int value)
{
    switch (document.Kind(value)) {
    case kJsonNull:
        return kTypeNull;
    case kJsonBoolean:
        return kTypeBoolean;
    case kJsonNumber:
        return document.IsInteger(value) ? static_cast<unsigned>(kTypeInteger)
                                         : static_cast<unsigned>(kTypeFraction);
    case kJsonString:
        return kTypeString;
    case kJsonArray:
        return kTypeArray;
    case kJsonObject:
        return kTypeObject;
    }
    return 0;
}

void AppendTypeNames(TextBuffer& out, unsigned types)
{
    static const char* const kNames[] = {"null",     "a boolean", "an integer", "a string",
                                         "an array", "an object", "a number with a fraction or exponent"};
    // Either kind of number is "a number".
    const bool number = (types & kTypeNumber) == kTypeNumber;
    if (number)
        types &= ~static_cast<unsigned>(kTypeFraction);
    bool first = true;
    // The null last: "an integer or null".
    for (int pass = 0; pass < 2; ++pass) {
        for (unsigned bit = 0; bit < 7; ++bit) {
            if ((types & (1u << bit)) == 0 || (bit == 0) != (pass == 1))
                continue;
            if (!first)
                out.Append(" or ");
            out.Append(number && bit == 2 ? "a number" : kNames[bit]);
            first = false;
        }
    }
}
