#pragma once

#include "platform/adapter_table.h"
#include "platform/internet_transfer.h"
#include "platform/management_objects.h"
#include "platform/shell.h"

namespace platform {

// The platform services the windows use; the program passes the system's own,
// tests pass fakes.
struct Services {
  ManagementLocator& management;
  AdapterTable& adapterTable;
  InternetTransfer& internet;
  Shell& shell;
};

}  // namespace platform
