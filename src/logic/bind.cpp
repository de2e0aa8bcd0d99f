#include <type_traits>

#include "logic/context.h"

namespace autoshutdown::logic {
namespace {

// Wraps a handler taking the context (and the event's arguments) as a layer handler that
// returns nothing: no handler of the program refuses a close or a mouse press.
template <typename F>
ui::Handler Calling(const Context& c, F handler) {
  return [c, handler](const ui::EventArgs& args) -> std::optional<bool> {
    if constexpr (std::is_invocable_v<F, const Context&, const ui::EventArgs&>) {
      handler(c, args);
    } else {
      handler(c);
    }
    return std::nullopt;
  };
}

}  // namespace

void BindHandlers(ui::WindowLayer& layer, PowerService& power, AudioService& audio) {
  namespace m = templates::main_window;
  namespace d = templates::description_window;
  using ui::Target;
  const Context c{layer, power, audio};
  const ui::WindowTemplate& main = templates::MainWindow();
  const ui::WindowTemplate& description = templates::DescriptionWindow();

  layer.Bind(main, Target::Window(), ui::event::kCreated, Calling(c, OnMainWindowCreated));
  layer.Bind(main, Target::Window(), ui::event::kPositionChanged, Calling(c, OnPositionChanged));
  layer.Bind(main, Target::Window(), ui::event::kWillBeDestroyed, Calling(c, OnMainWindowDestroying));
  layer.Bind(main, Target::Window(), ui::event::kTray,
             Calling(c, [](const Context& context, const ui::EventArgs& args) { OnTray(context, args.a); }));

  layer.Bind(main, Target::Control(m::时钟1), ui::event::kTick, Calling(c, OnClockTick));
  layer.Bind(main, Target::Control(m::时钟2), ui::event::kTick, Calling(c, OnMatchTick));
  layer.Bind(main, Target::Control(m::时钟3), ui::event::kTick, Calling(c, OnChimeTick));

  layer.Bind(main, Target::Control(m::按钮1), ui::event::kClicked, Calling(c, OnStartOrCancel));
  layer.Bind(main, Target::Control(m::按钮3), ui::event::kClicked, Calling(c, Reset));
  for (const ActionChoice& choice : kActionChoices) {
    layer.Bind(main, Target::Control(choice.radio), ui::event::kClicked,
               Calling(c, [&choice](const Context& context) { OnActionChosen(context, choice); }));
  }
  for (const ImmediateAction& action : kImmediateActions) {
    layer.Bind(main, Target::Control(action.button), ui::event::kClicked,
               Calling(c, [&action](const Context& context) { OnImmediateAction(context, action); }));
  }
  layer.Bind(main, Target::Control(m::按钮2), ui::event::kClicked, Calling(c, OnLoadRingtone));
  layer.Bind(main, Target::Control(m::选择框1), ui::event::kClicked, Calling(c, OnFullHourChimeClicked));
  layer.Bind(main, Target::Control(m::选择框2), ui::event::kClicked, Calling(c, OnHalfHourChimeClicked));

  layer.Bind(main, Target::Control(m::按钮6), ui::event::kClicked, Calling(c, OnHideButton));
  layer.Bind(main, Target::Control(m::按钮5), ui::event::kClicked, Calling(c, ConfirmExit));
  layer.Bind(main, Target::Control(m::按钮7), ui::event::kClicked, Calling(c, OpenDescription));
  // A left press on the picture drags the window; only the right button is the program's.
  layer.Bind(main, Target::Control(m::图片框1), ui::event::kRightPressed, Calling(c, ShowMenu));

  layer.Bind(main, Target::MenuItem(m::菜单隐藏), ui::event::kSelected, Calling(c, OnHideItem));
  layer.Bind(main, Target::MenuItem(m::菜单显示), ui::event::kSelected, Calling(c, OnShowItem));
  layer.Bind(main, Target::MenuItem(m::菜单退出), ui::event::kSelected, Calling(c, ConfirmExit));
  layer.Bind(main, Target::MenuItem(m::菜单关闭闹钟), ui::event::kSelected, Calling(c, Reset));

  layer.Bind(description, Target::Control(d::按钮2), ui::event::kClicked, Calling(c, CloseDescription));
  layer.Bind(description, Target::Control(d::按钮1), ui::event::kClicked, Calling(c, CloseDescription));
}

}  // namespace autoshutdown::logic
