#pragma once

#include <string>
#include <string_view>
#include <vector>

// Partition sizes that come out as whole gigabytes, and the two calculator
// rows that compute them from the text of their boxes.

namespace trelvik {

// One disk cylinder in megabytes: 255 heads x 63 sectors x 512 bytes =
// 8225280 bytes = 16065/2048 MiB, exact in a double.
inline constexpr double CylinderMb = 7.84423828125;

// The formulas expect the floating-point flags cleared by the caller (see
// ClearFloatStatus) and check them after each step of their arithmetic,
// throwing RuntimeError if it went out of range.

// Megabytes to enter for a FAT32 partition shown as `gigabytes` G:
// (G - 1) x 4 + G x 1024. No rounding: 0.3 gives 304.4.
double Fat32SizeMb(double gigabytes);

// Cylinders for an NTFS partition of `gigabytes` G: Floor(G x 1024 /
// CylinderMb) + 1, always one more than the whole cylinders in G.
double NtfsCylinderCount(double gigabytes);

// Megabytes to enter for an NTFS partition of `cylinders` cylinders:
// Floor(C x CylinderMb) + 1.
double NtfsSizeMb(double cylinders);

// A text box as the calculator rows see it: its whole text, read or replaced.
// Texts are UTF-16, as in number_text.h.
class Box {
 public:
  virtual std::u16string text() const = 0;
  virtual void setText(std::u16string_view text) = 0;

 protected:
  ~Box() = default;
};

// A box that is only a text: for tests and for callers without a window.
class TextBox final : public Box {
 public:
  TextBox() = default;
  explicit TextBox(std::u16string_view text) : text_(text) {}

  std::u16string text() const override { return text_; }
  void setText(std::u16string_view text) override { text_ = text; }

 private:
  std::u16string text_;
};

// A box that also keeps every text written into it, in order: the NTFS row
// writes its cylinder count there before the megabytes.
class RecordingBox final : public Box {
 public:
  RecordingBox() = default;
  explicit RecordingBox(std::u16string_view text) : text_(text) {}

  std::u16string text() const override { return text_; }
  void setText(std::u16string_view text) override {
    text_ = text;
    writes_.emplace_back(text);
  }
  const std::vector<std::u16string>& writes() const { return writes_; }

 private:
  std::u16string text_;
  std::vector<std::u16string> writes_;
};

// The FAT32 row's 计算: reads gigabytes from `input` and writes the megabytes
// into `result`. On a RuntimeError `result` keeps its text; `input` is never
// changed.
void CalculateFat32Row(const Box& input, Box& result);

// The NTFS row's 计算, in two stages joined through the text of `result`: the
// cylinder count is written there, read back, and replaced by the megabytes.
// An error in the first stage leaves `result` unchanged, one in the second
// stage leaves the cylinder count in it.
void CalculateNtfsRow(const Box& input, Box& result);

}  // namespace trelvik
