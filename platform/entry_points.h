// The entry points the Khronos registry lists for each OpenGL version and
// each GL and WGL extension, as the table cmake/make_entry_point_table.py
// makes at build time, and the check of a driver's answers against them.
// Plain C++: the driver is asked through a lookup of the caller's.
#pragma once

#include "document/report_document.h"
#include "platform/fact_pool.h"

// The table as the generator writes it (its format is described there).
struct EntryPointTable {
    const char* commands;
    int commandCount;
    unsigned long commandTextBytes;  // every name and its NUL
    const char* groups;
    int groupCount;
    int versionCount;  // the groups GL_VERSION_1_2 and on, before the extensions
    unsigned long groupTextBytes;
};

// The registry's table, built from /usr/share/khronos-api.
extern const EntryPointTable kRegistryEntryPoints;

// The table with its names written out.
class EntryPointRegistry {
public:
    explicit EntryPointRegistry(const EntryPointTable& table);
    ~EntryPointRegistry();
    EntryPointRegistry(const EntryPointRegistry&) = delete;
    EntryPointRegistry& operator=(const EntryPointRegistry&) = delete;

    // False when memory ran out: the registry is then empty.
    bool Ok() const { return ok_; }
    int CommandCount() const { return ok_ ? table_.commandCount : 0; }
    const char* Command(int index) const { return commandNames_[index]; }
    // An OpenGL 1.0 or 1.1 command: one of opengl32.dll's own exports.
    bool IsOpenGlExport(int index) const { return (commandFlags_[index] & 0x40) != 0; }
    // Removed from the core profile, or required for the compatibility profile only.
    bool NotInCoreProfile(int index) const { return (commandFlags_[index] & 0x80) != 0; }

    int GroupCount() const { return ok_ ? table_.groupCount : 0; }
    int VersionCount() const { return ok_ ? table_.versionCount : 0; }
    const char* GroupName(int group) const { return groupNames_[group]; }
    // The group of the extension name; -1 when the registry does not list it.
    int FindExtension(const char* name) const;
    // The commands of group, by index, in order.
    int GroupCommandCount(int group) const;
    template <typename Visit>
    void ForEachCommand(int group, Visit visit) const
    {
        const unsigned char* p = groupCommands_[group];
        const unsigned long count = ReadNumber(p);
        long index = -1;
        for (unsigned long i = 0; i < count; ++i) {
            index += static_cast<long>(ReadNumber(p)) + 1;
            visit(static_cast<int>(index));
        }
    }

private:
    static unsigned long ReadNumber(const unsigned char*& p);

    EntryPointTable table_;
    char* text_ = nullptr;
    const char** commandNames_ = nullptr;
    unsigned char* commandFlags_ = nullptr;
    const char** groupNames_ = nullptr;
    const unsigned char** groupCommands_ = nullptr;
    bool ok_ = false;
};

// The driver's answer for a command: wglGetProcAddress's, or opengl32.dll's
// export for an OpenGL 1.0 or 1.1 command (openglExport).
typedef const void* (*CommandLookup)(const char* name, bool openglExport);

// Whether an answer stands for a missing command: NULL, and 1, 2, 3 and -1,
// which some drivers answer.
bool IsMissingAnswer(const void* answer);

// Checks every command that the versions 1.2 up to version (a GL_VERSION
// string) require, on a compatibility context, or with core on a
// core-profile one, without the commands the core profile lacks. The
// missing ones are added to those facts has, in pool, as every string the
// facts point to. False when memory ran out.
bool CheckVersionEntryPoints(const EntryPointRegistry& registry, CommandLookup lookup, const char* version,
                             bool core, FactPool& pool, EntryPointFacts& facts);
// Checks the commands of each of the extensions the registry lists and counts
// the others; empty names are skipped. Adds to what an earlier call found.
bool CheckExtensionEntryPoints(const EntryPointRegistry& registry, CommandLookup lookup,
                               const char* const* extensions, int extensionCount, FactPool& pool,
                               EntryPointFacts& facts);

// What the gathering hands a check of the context current: through one
// untyped pointer, so that the check is also the core-profile probe's visitor.
struct EntryPointGathering {
    bool core;  // the core-profile context is current, not the view's
    const ReportData* data;
    FactPool* pool;
    EntryPointFacts* facts;
};
