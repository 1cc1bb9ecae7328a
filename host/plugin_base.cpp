#include "host/plugin_base.h"

namespace host {

PluginBase* pluginInstance = nullptr;

bool PluginBase::runFunction(std::int32_t) { return true; }
void PluginBase::releaseResources(HostArg) {}
std::int32_t PluginBase::functionCount() { return 1; }
const char* PluginBase::functionName(std::int32_t) { return "Dummy Plugin"; }
std::int32_t PluginBase::functionType(std::int32_t) { return 0; }
bool PluginBase::hook5(HostArg, HostArg) { return false; }
void PluginBase::hook6(HostArg) {}
void PluginBase::hook7(HostArg, HostArg) {}
bool PluginBase::hook8(HostArg, HostArg, HostArg) { return true; }
bool PluginBase::hook9(HostArg, HostArg, HostArg) { return true; }
bool PluginBase::hook10(HostArg, HostArg, HostArg) { return true; }
bool PluginBase::hook11(HostArg, HostArg, HostArg) { return true; }
bool PluginBase::hook12(HostArg, HostArg, HostArg) { return true; }
bool PluginBase::hook13(HostArg, HostArg, HostArg) { return true; }
bool PluginBase::hook14(HostArg, HostArg, HostArg) { return true; }
bool PluginBase::hook15(HostArg, HostArg) { return true; }
bool PluginBase::hook16(HostArg, HostArg) { return true; }
bool PluginBase::hook17(HostArg, HostArg) { return true; }
void PluginBase::hook18(HostArg, HostArg) {}
bool PluginBase::hook19(HostArg, HostArg) { return true; }
bool PluginBase::hook20(HostArg) { return true; }
bool PluginBase::hook21(HostArg) { return true; }
bool PluginBase::hook22(HostArg) { return true; }
bool PluginBase::hook23(HostArg) { return true; }
bool PluginBase::drawFunction(std::int32_t) { return true; }

namespace {

// Answers the defaults while no instance is bound.
PluginBase defaultOperations;

PluginBase& target() { return pluginInstance != nullptr ? *pluginInstance : defaultOperations; }

// The trampolines: plain functions with the host's calling convention, one per operation.
bool OSTRIVANE_HOST_CALL runFunctionEntry(std::int32_t i) { return target().runFunction(i); }
void OSTRIVANE_HOST_CALL releaseResourcesEntry(HostArg v) { target().releaseResources(v); }
std::int32_t OSTRIVANE_HOST_CALL functionCountEntry() { return target().functionCount(); }
const char* OSTRIVANE_HOST_CALL functionNameEntry(std::int32_t i) { return target().functionName(i); }
std::int32_t OSTRIVANE_HOST_CALL functionTypeEntry(std::int32_t i) { return target().functionType(i); }
bool OSTRIVANE_HOST_CALL hook5Entry(HostArg a, HostArg b) { return target().hook5(a, b); }
void OSTRIVANE_HOST_CALL hook6Entry(HostArg a) { target().hook6(a); }
void OSTRIVANE_HOST_CALL hook7Entry(HostArg a, HostArg b) { target().hook7(a, b); }
bool OSTRIVANE_HOST_CALL hook8Entry(HostArg a, HostArg b, HostArg c) { return target().hook8(a, b, c); }
bool OSTRIVANE_HOST_CALL hook9Entry(HostArg a, HostArg b, HostArg c) { return target().hook9(a, b, c); }
bool OSTRIVANE_HOST_CALL hook10Entry(HostArg a, HostArg b, HostArg c) { return target().hook10(a, b, c); }
bool OSTRIVANE_HOST_CALL hook11Entry(HostArg a, HostArg b, HostArg c) { return target().hook11(a, b, c); }
bool OSTRIVANE_HOST_CALL hook12Entry(HostArg a, HostArg b, HostArg c) { return target().hook12(a, b, c); }
bool OSTRIVANE_HOST_CALL hook13Entry(HostArg a, HostArg b, HostArg c) { return target().hook13(a, b, c); }
bool OSTRIVANE_HOST_CALL hook14Entry(HostArg a, HostArg b, HostArg c) { return target().hook14(a, b, c); }
bool OSTRIVANE_HOST_CALL hook15Entry(HostArg a, HostArg b) { return target().hook15(a, b); }
bool OSTRIVANE_HOST_CALL hook16Entry(HostArg a, HostArg b) { return target().hook16(a, b); }
bool OSTRIVANE_HOST_CALL hook17Entry(HostArg a, HostArg b) { return target().hook17(a, b); }
void OSTRIVANE_HOST_CALL hook18Entry(HostArg a, HostArg b) { target().hook18(a, b); }
bool OSTRIVANE_HOST_CALL hook19Entry(HostArg a, HostArg b) { return target().hook19(a, b); }
bool OSTRIVANE_HOST_CALL hook20Entry(HostArg a) { return target().hook20(a); }
bool OSTRIVANE_HOST_CALL hook21Entry(HostArg a) { return target().hook21(a); }
bool OSTRIVANE_HOST_CALL hook22Entry(HostArg a) { return target().hook22(a); }
bool OSTRIVANE_HOST_CALL hook23Entry(HostArg a) { return target().hook23(a); }
bool OSTRIVANE_HOST_CALL drawFunctionEntry(std::int32_t i) { return target().drawFunction(i); }

template <typename Function>
HostFunction asHostFunction(Function f) {
    return reinterpret_cast<HostFunction>(f);
}

}  // namespace

void bindInstance(PluginHostRecord* record, PluginBase* instance) {
    pluginInstance = instance;
    if (record == nullptr) return;

    const HostFunction recordOperations[kRecordOperationSlots] = {
        asHostFunction(&runFunctionEntry),   asHostFunction(&releaseResourcesEntry),
        asHostFunction(&functionCountEntry), asHostFunction(&functionNameEntry),
        asHostFunction(&functionTypeEntry),
    };
    for (int slot = 0; slot < kRecordOperationSlots; ++slot) record->operations[slot] = recordOperations[slot];

    ExtensionTable* table = record->extensionTable;
    if (table == nullptr) return;
    // Field k carries operation k + 5, except that fields 0x2C and 0x30 (slots 11 and 12)
    // carry operations 17 and 16: the host expects them in that order.
    const HostFunction tableOperations[kExtensionTableSlots] = {
        asHostFunction(&hook5Entry),  asHostFunction(&hook6Entry),  asHostFunction(&hook7Entry),
        asHostFunction(&hook8Entry),  asHostFunction(&hook9Entry),  asHostFunction(&hook10Entry),
        asHostFunction(&hook11Entry), asHostFunction(&hook12Entry), asHostFunction(&hook13Entry),
        asHostFunction(&hook14Entry), asHostFunction(&hook15Entry), asHostFunction(&hook17Entry),
        asHostFunction(&hook16Entry), asHostFunction(&hook18Entry), asHostFunction(&hook19Entry),
        asHostFunction(&hook20Entry), asHostFunction(&hook21Entry), asHostFunction(&hook22Entry),
        asHostFunction(&hook23Entry), asHostFunction(&drawFunctionEntry),
    };
    for (int slot = 0; slot < kExtensionTableSlots; ++slot) table->operations[slot] = tableOperations[slot];
}

}  // namespace host
