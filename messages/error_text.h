#pragma once

#include <string>
#include <string_view>

#include "core/runtime_error.h"

// The words a user reads for a run-time error, in Simplified Chinese and in
// the form Chinese Windows users know from run-time error boxes:
//
//   实时错误 '6':
//
//   溢出
//
// Kept free of Qt so that programs without windows report errors in the same
// words.

namespace trelvik {

// The error number users know, and the error's name.
struct ErrorText {
  int number;
  std::u16string_view name;
};

constexpr ErrorText TextOf(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::Overflow:
    case ErrorKind::FloatOverflow:
      return {6, u"溢出"};
    case ErrorKind::FloatDivideByZero:
      return {11, u"除数为零"};
    case ErrorKind::FloatInvalid:
      return {6, u"无效的浮点运算"};
  }
  return {6, u"溢出"};
}

// The full message: "实时错误 'N':", a blank line, and the error's name.
inline std::u16string ErrorMessage(ErrorKind kind) {
  const ErrorText text = TextOf(kind);
  const std::string number = std::to_string(text.number);
  std::u16string message = u"实时错误 '";
  message.append(number.begin(), number.end());
  message += u"':\n\n";
  message += text.name;
  return message;
}

}  // namespace trelvik
