#include "core/partition_size.h"

#include "core/float_status.h"
#include "core/number_text.h"

namespace trelvik {

double Fat32SizeMb(double gigabytes) {
  const double sum = Settled((gigabytes - 1) * 4 + gigabytes * 1024);
  CheckFloatStatus();
  return sum;
}

double NtfsCylinderCount(double gigabytes) {
  // Multiply, then divide: a precomputed 1024 / CylinderMb rounds differently.
  const double cylinders = Settled(gigabytes * 1024 / CylinderMb);
  CheckFloatStatus();
  const double count = Settled(Floor(cylinders) + 1);
  CheckFloatStatus();
  return count;
}

double NtfsSizeMb(double cylinders) {
  const double megabytes = Settled(cylinders * CylinderMb);
  CheckFloatStatus();
  const double size = Settled(Floor(megabytes) + 1);
  CheckFloatStatus();
  return size;
}

namespace {

// Reads a box's number the way every step of a row starts: the flags are
// cleared after the box is read, so a check sees only the parsing and the
// arithmetic that follow.
double ReadNumber(const Box& box) {
  const std::u16string text = box.text();
  ClearFloatStatus();
  return ParseNumber(text);
}

void WriteNumber(Box& box, double value) {
  box.setText(FormatNumber(value));
  ClearFloatStatus();
}

}  // namespace

void CalculateFat32Row(const Box& input, Box& result) {
  WriteNumber(result, Fat32SizeMb(ReadNumber(input)));
}

void CalculateNtfsRow(const Box& input, Box& result) {
  WriteNumber(result, NtfsCylinderCount(ReadNumber(input)));
  // The second stage reads the count back as the box shows it, so from 1E+15
  // on it works with the 15-digit value.
  WriteNumber(result, NtfsSizeMb(ReadNumber(result)));
}

}  // namespace trelvik
