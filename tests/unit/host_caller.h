// Calls the plug-in's operations through the host's record, the way the host does.
#pragma once

#include "host/host_interface.h"
#include "host/plugin_base.h"

// Calls operation `op` through the host's record the way the host does, with arguments k+1, k+2, k+3.
struct Caller {
    host::PluginHostRecord& record;

    host::HostFunction slot(int op) const {
        if (op < host::kRecordOperationSlots) return record.operations[op];
        // The table's fields 11 and 12 carry operations 17 and 16.
        int field = op - 5;
        if (op == 16) field = 12;
        if (op == 17) field = 11;
        return record.extensionTable->operations[field];
    }

    template <typename R, typename... A>
    R call(int op, A... a) const {
        return reinterpret_cast<R(OSTRIVANE_HOST_CALL*)(A...)>(slot(op))(a...);
    }
};
