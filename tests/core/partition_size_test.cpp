#include "core/partition_size.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <string>
#include <vector>

#include "core/float_status.h"
#include "core/number_text.h"
#include "core/runtime_error.h"
#include "tests/support/printable.h"
#include "tests/support/worked_values.h"

namespace trelvik {
namespace {

TEST(PartitionRows, WorkedValues) {
  for (const test::WorkedValue& row : test::kWorkedValues) {
    SCOPED_TRACE("G = \"" + std::string(row.gigabytes) + "\"");
    const TextBox input(test::Widen(row.gigabytes));

    TextBox fat32;
    CalculateFat32Row(input, fat32);
    EXPECT_EQ(test::Printable(fat32.text()), row.fat32);

    RecordingBox ntfs(u"junk typed before the click");
    CalculateNtfsRow(input, ntfs);
    ASSERT_EQ(ntfs.writes().size(), 2u);
    EXPECT_EQ(test::Printable(ntfs.writes()[0]), row.cylinders);
    EXPECT_EQ(test::Printable(ntfs.text()), row.ntfs);
  }
}

TEST(PartitionRows, TypedOddities) {
  TextBox result;
  CalculateFat32Row(TextBox(u"1.2.3"), result);
  EXPECT_EQ(result.text(), u"1229.6");

  // Clicking twice gives the same result; the input box is read only.
  const TextBox input(u"8");
  CalculateNtfsRow(input, result);
  CalculateNtfsRow(input, result);
  EXPECT_EQ(result.text(), u"8198");
  EXPECT_EQ(input.text(), u"8");
}

TEST(PartitionRows, ParseOverflowWritesNoBox) {
  const std::u16string digits(400, u'9');
  RecordingBox fat32(u"old");
  EXPECT_THROW(CalculateFat32Row(TextBox(digits), fat32), RuntimeError);
  EXPECT_TRUE(fat32.writes().empty());
  EXPECT_EQ(fat32.text(), u"old");

  RecordingBox ntfs(u"old");
  EXPECT_THROW(CalculateNtfsRow(TextBox(digits), ntfs), RuntimeError);
  EXPECT_TRUE(ntfs.writes().empty());
}

ErrorKind KindOf(void (*row)(const Box&, Box&), const std::u16string& gigabytes, Box& result) {
  try {
    row(TextBox(gigabytes), result);
  } catch (const RuntimeError& error) {
    return error.kind();
  }
  ADD_FAILURE() << "no error for G = " << test::Printable(gigabytes);
  return ErrorKind::Overflow;
}

// These run in every build type, the optimised ones included: the check must
// see the arithmetic that went out of range, wherever the optimizer put it.
TEST(PartitionRows, ArithmeticOverflowNearTheTopOfTheRange) {
  RecordingBox fat32(u"old");
  EXPECT_EQ(KindOf(CalculateFat32Row, u"1.7E308", fat32), ErrorKind::FloatOverflow);
  EXPECT_EQ(KindOf(CalculateFat32Row, u"-1.7E308", fat32), ErrorKind::FloatOverflow);
  EXPECT_TRUE(fat32.writes().empty());

  // The first NTFS stage overflows: the result box is left as it was.
  RecordingBox ntfs(u"old");
  EXPECT_EQ(KindOf(CalculateNtfsRow, u"1E306", ntfs), ErrorKind::FloatOverflow);
  EXPECT_TRUE(ntfs.writes().empty());

  // Just below the limits both rows still compute.
  TextBox fine;
  CalculateFat32Row(TextBox(u"1E305"), fine);
  EXPECT_EQ(test::Printable(fine.text()), "1.028E+308");
  CalculateNtfsRow(TextBox(u"1E305"), fine);
  EXPECT_EQ(test::Printable(fine.text()), "1.024E+308");
}

TEST(PartitionRows, SecondStageOverflowLeavesTheCylinderCount) {
  // The largest G whose megabytes still fit: the count the box shows, rounded
  // up to 15 digits, no longer does when multiplied back.
  const std::u16string gigabytes = FormatNumber(1.7976931348623157e308 / 1024);
  RecordingBox ntfs(u"old");
  ASSERT_EQ(KindOf(CalculateNtfsRow, gigabytes, ntfs), ErrorKind::FloatOverflow);
  ASSERT_EQ(ntfs.writes().size(), 1u);
  EXPECT_EQ(test::Printable(ntfs.text()), "2.29173703093559E+307");
}

TEST(Formulas, ExactConstantsAndOrder) {
  EXPECT_EQ(CylinderMb * 2048, 16065);
  ClearFloatStatus();
  EXPECT_EQ(Fat32SizeMb(8), 8220);
  EXPECT_EQ(NtfsCylinderCount(8), 1045);
  EXPECT_EQ(NtfsSizeMb(1045), 8198);
  // A whole number of cylinders still gets one more.
  EXPECT_EQ(NtfsCylinderCount(CylinderMb / 1024 * 3), 4);
}

TEST(Floor, IsAFloorNotATruncation) {
  const struct {
    double value, floor;
  } rows[] = {{2.7, 2}, {-2.5, -3}, {44.999, 44}, {45, 45}, {-0.1, -1}, {0.1, 0}, {1e300, 1e300}};
  for (const auto& row : rows) EXPECT_EQ(Floor(row.value), row.floor) << row.value;
}

TEST(CheckFloatStatus, NamesTheRaisedFlag) {
  const struct {
    int flags;
    ErrorKind kind;
  } rows[] = {
      {FE_OVERFLOW, ErrorKind::FloatOverflow},
      {FE_DIVBYZERO, ErrorKind::FloatDivideByZero},
      {FE_INVALID, ErrorKind::FloatInvalid},
      {FE_OVERFLOW | FE_INVALID, ErrorKind::FloatInvalid},
  };
  for (const auto& row : rows) {
    ClearFloatStatus();
    std::feraiseexcept(row.flags);
    try {
      CheckFloatStatus();
      ADD_FAILURE() << "no error for flags " << row.flags;
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.kind(), row.kind);
    }
  }
  // Underflow and inexact results do not count, and clearing forgets.
  ClearFloatStatus();
  std::feraiseexcept(FE_UNDERFLOW | FE_INEXACT);
  EXPECT_NO_THROW(CheckFloatStatus());
  std::feraiseexcept(FE_OVERFLOW);
  ClearFloatStatus();
  EXPECT_NO_THROW(CheckFloatStatus());
}

}  // namespace
}  // namespace trelvik
