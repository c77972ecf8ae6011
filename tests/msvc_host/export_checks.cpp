#include "host_checks.h"
#include "kernel32.h"
#include "text.h"

namespace {

// The exports are plain C functions: cdecl, the caller removes the argument.
using NameExport = const char* (*)();
using NumberExport = int (*)();
using InfoExport = PluginObjectInfo* (*)(unsigned index);

struct Export {
    const char* name;
    unsigned ordinal;
};

constexpr Export kExports[] = {
    {"GetPluginName", 1},
    {"GetPluginObjectCount", 2},
    {"GetPluginObjectInfo", 3},
    {"GetPluginVersion", 4},
};

const char* ByOrdinal(unsigned ordinal) {
    return reinterpret_cast<const char*>(static_cast<__UINTPTR_TYPE__>(ordinal));
}

unsigned Address(const void* pointer) {
    return static_cast<unsigned>(reinterpret_cast<__UINTPTR_TYPE__>(pointer));
}

void ExpectText(CheckTally& tally, const char* call, const char* text, const char* expected) {
    tally.Expect(SameText(text, expected),
                 Line() << call << " = \"" << (text != nullptr ? text : "(null)") << "\"");
}

void ExpectNumber(CheckTally& tally, const char* call, int number, int expected) {
    tally.Expect(number == expected, Line() << call << " = " << number);
}

}  // namespace

PluginObjectInfo* CheckExports(CheckTally& tally, void* library) {
    // The game may look them up either way; the calls below go through the ordinals.
    FarProc entries[4];
    bool complete = true;
    for (int i = 0; i < 4; ++i) {
        const FarProc byName = GetProcAddress(library, kExports[i].name);
        entries[i] = GetProcAddress(library, ByOrdinal(kExports[i].ordinal));
        complete = tally.Expect(byName != nullptr && byName == entries[i],
                                Line() << kExports[i].name << " by name = by ordinal "
                                       << static_cast<int>(kExports[i].ordinal) << " = "
                                       << Hex{Address(reinterpret_cast<const void*>(byName))}) &&
                   complete;
    }
    tally.Expect(GetProcAddress(library, ByOrdinal(5)) == nullptr, Line() << "no ordinal 5");
    if (!complete) {
        return nullptr;
    }

    const auto getName = reinterpret_cast<NameExport>(entries[0]);
    const auto getCount = reinterpret_cast<NumberExport>(entries[1]);
    const auto getInfo = reinterpret_cast<InfoExport>(entries[2]);
    const auto getVersion = reinterpret_cast<NumberExport>(entries[3]);
    const char* name = getName();
    ExpectText(tally, "GetPluginName()", name, "Velmora Plugin - 2008.5.11");
    tally.Expect(getName() == name, Line() << "GetPluginName() gives the same pointer again");
    ExpectNumber(tally, "GetPluginObjectCount()", getCount(), 1);
    ExpectNumber(tally, "GetPluginVersion()", getVersion(), 1);
    PluginObjectInfo* info = getInfo(0);
    tally.Expect(
        info != nullptr && getInfo(0) == info,
        Line() << "GetPluginObjectInfo(0) = " << Hex{Address(info)} << ", the same pointer again");
    static constexpr unsigned kOtherIndices[] = {1, 0x80000000u, 0xffffffffu};
    for (unsigned index : kOtherIndices) {
        tally.Expect(getInfo(index) == nullptr,
                     Line() << "GetPluginObjectInfo(" << Hex{index} << ") = null");
    }
    return info;
}

void CheckDescriptor(CheckTally& tally, PluginObjectInfo* info) {
    ExpectText(tally, "descriptor slot 1 ShortName()", info->ShortName(), "HeadTracker");
    const char* longName = info->LongName();
    ExpectText(tally, "descriptor slot 2 LongName()", longName,
               "Velmora Plugin - 2008.5.11 - HeadTracker");
    tally.Expect(info->LongName() == longName, Line() << "LongName() gives the same pointer again");
    ExpectText(tally, "descriptor slot 3 Description()", info->Description(),
               "Plugin for using the head tracking ability of the Vuzix VR920 HMD");
    ExpectNumber(tally, "descriptor slot 4 TypeCode()", info->TypeCode(), 9);
    ExpectText(tally, "descriptor slot 5 SubtypeName()", info->SubtypeName(), "Internals");
    ExpectNumber(tally, "descriptor slot 6 InterfaceVersion()", info->InterfaceVersion(), 3);
}
