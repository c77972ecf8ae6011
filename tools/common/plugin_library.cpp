#include "common/plugin_library.h"

#include <cstring>

#include "common/host_abi.h"

extern "C" {
#include "common/host_os.h"
}

namespace velmora::host {
namespace {

template <class Export>
Export FindExport(void* library, const char* name) {
    void* symbol = HostFindSymbol(library, name);
    Export function = nullptr;
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

std::string TextOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

PluginLibrary::~PluginLibrary() {
    Close();
}

void PluginLibrary::Close() {
    if (library_ != nullptr) {
        HostFreeLibrary(library_);
        library_ = nullptr;
        descriptor_ = nullptr;
    }
}

bool PluginLibrary::Open(const std::string& path, std::string& error) {
    library_ = HostLoadLibrary(path.c_str());
    if (library_ == nullptr) {
        error = "cannot load the plug-in library " + path;
        return false;
    }
    auto getName = FindExport<GetPluginNameExport>(library_, "GetPluginName");
    auto getVersion = FindExport<GetPluginVersionExport>(library_, "GetPluginVersion");
    auto getCount = FindExport<GetPluginObjectCountExport>(library_, "GetPluginObjectCount");
    auto getInfo = FindExport<GetPluginObjectInfoExport>(library_, "GetPluginObjectInfo");
    if (getName == nullptr || getVersion == nullptr || getCount == nullptr || getInfo == nullptr) {
        error = path +
                " is not a plug-in: it lacks GetPluginName, GetPluginVersion, "
                "GetPluginObjectCount or GetPluginObjectInfo";
        return false;
    }
    identity_.name = TextOrEmpty(getName());
    identity_.version = getVersion();
    identity_.objectCount = getCount();
    if (identity_.objectCount < 1) {
        error = path + " offers no plug-in object";
        return false;
    }
    descriptor_ = getInfo(0);
    if (descriptor_ == nullptr) {
        error = path + " gives no descriptor for object 0";
        return false;
    }
    identity_.shortName = TextOrEmpty(SlotOf<TextSlot>(descriptor_, kInfoShortName)(descriptor_));
    identity_.longName = TextOrEmpty(SlotOf<TextSlot>(descriptor_, kInfoLongName)(descriptor_));
    identity_.typeCode = SlotOf<NumberSlot>(descriptor_, kInfoTypeCode)(descriptor_);
    identity_.subtypeName =
        TextOrEmpty(SlotOf<TextSlot>(descriptor_, kInfoSubtypeName)(descriptor_));
    identity_.interfaceVersion =
        SlotOf<NumberSlot>(descriptor_, kInfoInterfaceVersion)(descriptor_);
    return true;
}

void* PluginLibrary::CreateInstance() const {
    return SlotOf<PointerSlot>(descriptor_, kInfoCreateInstance)(descriptor_);
}

}  // namespace velmora::host
