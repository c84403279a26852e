#pragma once
// Event types. An event is a std::function that is empty when unset; it fires only when set,
// and always through the application's guard (FireEvent), so an escaping error becomes the
// default error report and the control's own handling goes on.

#include <functional>
#include <string>

namespace stampwell {

class TObject;
class TTreeNode;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state as bit flags.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TKeyEvent = std::function<void(TObject* Sender, unsigned short& Key, TShiftState Shift)>;

// The tree view's events (framework/tree_view.h). The "-ing" events share one type: the
// Boolean says whether the step may go on.
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& Allow)>;
using TTVExpandingEvent = TTVChangingEvent;
using TTVEditingEvent = TTVChangingEvent;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;

// Runs `call` in the application's guard (defined with the application).
void RunGuarded(const std::function<void()>& call) noexcept;

template <typename Event, typename... Args>
void FireEvent(const Event& event, Args&&... args) noexcept {
  if (event) RunGuarded([&] { event(std::forward<Args>(args)...); });
}

}  // namespace stampwell
