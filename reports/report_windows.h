#pragma once

#include <vector>

#include "platform/adapter_table.h"
#include "platform/management_objects.h"
#include "reports/adapter_inventory_record.h"
#include "reports/get_adapts_info.h"
#include "reports/report_window.h"

namespace reports {

// The two windows' captions; the main window's buttons are described by them.
inline constexpr const char* kAdapterInfoCaption = "Adapter Info";
inline constexpr const char* kAdditionalAdapterInfoCaption = "Additional Adapter Info";

// "Adapter Info": the adapter inventory from the management service.
class Form2 : public ReportWindow {
 public:
  Form2(toolkit::Application& app, toolkit::Form& mainWindow, platform::ManagementLocator& locator,
        std::string icon);

  std::vector<AdapterInventoryRecord> Adapters;
  std::int32_t AdapterCount = 0;

 protected:
  void fillReport(toolkit::TextBox& txtOut) override;

 private:
  platform::ManagementLocator& locator_;
};

// "Additional Adapter Info": the adapter list from the adapter table. It has no
// icon of its own.
class Form3 : public ReportWindow {
 public:
  Form3(toolkit::Application& app, toolkit::Form& mainWindow, platform::AdapterTable& table);

  std::vector<AdapterEntry> Adapters;
  std::int32_t AdapterCount = 0;

 protected:
  void fillReport(toolkit::TextBox& txtOut) override;

 private:
  platform::AdapterTable& table_;
};

}  // namespace reports
