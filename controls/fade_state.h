#pragma once
// The image button's fade as a state machine, free of timers and drawing so that it can be
// driven tick by tick: the button's timer calls Step every 10 ms and draws what it answers.

namespace stampwell {

class FadeState {
 public:
  // What one tick shows: a blend at `level`, or, at the end, exactly frame `frame` (0 or 1).
  struct Tick {
    bool blend = false;
    int level = 0;
    bool finished = false;
    int frame = 0;
  };

  int Level() const { return level_; }
  bool FadingIn() const { return fading_in_; }
  bool FadingOut() const { return fading_out_; }
  bool Running() const { return fading_in_ || fading_out_; }

  // The mouse entered or left: fade towards the hover or the normal frame from the level reached.
  void StartFadeIn() { fading_in_ = true; fading_out_ = false; }
  void StartFadeOut() { fading_out_ = true; fading_in_ = false; }
  // A press shows the pressed frame and leaves the level at the hover end.
  void Press() { Stop(); level_ = 255; }
  // A release stops any fade and keeps the level.
  void Release() { Stop(); }
  void Stop() { fading_in_ = fading_out_ = false; }

  // One timer tick. After a tick with `finished` the fade has stopped (the timer must stop too).
  Tick Step();

 private:
  int level_ = 0;
  bool fading_in_ = false;
  bool fading_out_ = false;
};

}  // namespace stampwell
