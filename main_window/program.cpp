#include "main_window/program.h"

#include <memory>

#include "main_window/app_title.h"
#include "main_window/form1_layout.h"

namespace main_window {

Program::Program(toolkit::Backend& backend, const platform::Services& services, MakerInfo maker,
                 GatheringSettings settings)
    : app_(backend, kApplicationTitle),
      form1_([this, services, maker = std::move(maker), settings = std::move(settings)] {
        return std::make_unique<Form1>(app_, services, maker, settings);
      }),
      form2_([this, &locator = services.management] {
        return std::make_unique<reports::Form2>(app_, form1_.get(), locator, kIconPicture);
      }),
      form3_([this, &table = services.adapterTable] {
        return std::make_unique<reports::Form3>(app_, form1_.get(), table);
      }) {
  Form1& main = form1_.get();
  main.adapterInfoWindow = [this]() -> toolkit::Form& { return form2_.get(); };
  main.additionalAdapterInfoWindow = [this]() -> toolkit::Form& { return form3_.get(); };
}

Program::~Program() {
  stop();
}

void Program::start() {
  app_.runEvent([this] { form1_.get().show(); });
}

void Program::stop() {
  // The report windows name the main window as their owner: they go first.
  if (auto* f = form3_.peek()) f->unload();
  if (auto* f = form2_.peek()) f->unload();
  if (auto* f = form1_.peek()) f->unload();
  app_.stop();
}

}  // namespace main_window
