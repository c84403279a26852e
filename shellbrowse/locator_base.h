#pragma once
// The persistent-object root, the change event and the error class that the locator builds
// on. They come from the framework; until its component and error headers are in this tree,
// the smallest equal declarations stand in, with the same names and meaning.

#if __has_include("framework/component.h") && __has_include("framework/events.h") && \
    __has_include("framework/exception.h")
#include "framework/component.h"
#include "framework/events.h"
#include "framework/exception.h"
#else
#include <exception>
#include <functional>
#include <string>
#include <utility>

namespace stampwell {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

class TPersistent : public TObject {};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace stampwell
#endif
