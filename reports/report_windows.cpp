#include "reports/report_windows.h"

#include "reports/get_adapter_inventory.h"
#include "reports/show_adapter_inventory.h"
#include "reports/show_adapter_list.h"

namespace reports {

Form2::Form2(toolkit::Application& app, toolkit::Form& mainWindow,
             platform::ManagementLocator& locator, std::string icon)
    : ReportWindow(app, mainWindow, kAdapterInfoCaption, std::move(icon)), locator_(locator) {}

void Form2::fillReport(toolkit::TextBox& txtOut) {
  AdapterCount = GetAdapterInventory(locator_, Adapters,
                                     [this](const basics::Error& error, const std::string& text) {
                                       application().errorBox(error, text);
                                     });
  ShowAdapterInventory(txtOut, Adapters, AdapterCount);
}

Form3::Form3(toolkit::Application& app, toolkit::Form& mainWindow, platform::AdapterTable& table)
    : ReportWindow(app, mainWindow, kAdditionalAdapterInfoCaption, ""), table_(table) {}

void Form3::fillReport(toolkit::TextBox& txtOut) {
  AdapterCount = GetAdapterList(table_, Adapters);
  ShowAdapterList(txtOut, Adapters, AdapterCount);
}

}  // namespace reports
