// Failures of the workbench computation, returned as values the caller must look at.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace corvane {

// Why an operation did not do its work.
struct Failure {
  std::string file;    // the file concerned, as named by the caller; empty when no file is involved
  std::string reason;  // what is wrong, in plain words (Japanese), e.g. "12 行目: 値 \"abc\"
                       // が数値ではありません"
  std::string message;  // the message-box text the window shows (UTF-8); the window's own fixed
                        // text where one exists, otherwise a text naming the file and the reason
};

// Nothing on success, a Failure otherwise.
class [[nodiscard]] Status {
 public:
  Status() = default;  // success
  Status(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }
  const Failure& failure() const { return *failure_; }  // only when !ok()

 private:
  std::optional<Failure> failure_;
};

// A value on success, a Failure otherwise.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Failure failure) : failure_(std::move(failure)) {}

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& value() const { return *value_; }            // only when ok()
  T& value() { return *value_; }                        // only when ok()
  const Failure& failure() const { return *failure_; }  // only when !ok()

 private:
  std::optional<T> value_;
  std::optional<Failure> failure_;
};

}  // namespace corvane
