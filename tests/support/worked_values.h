#pragma once

#include <string_view>

// The worked values every front end is checked against: the size typed in
// gigabytes, the FAT32 result, the NTFS cylinder count (the first text the
// NTFS row writes) and the NTFS result, as the boxes show them. ASCII only,
// so each front end can take them in its own string type.

namespace trelvik::test {

struct WorkedValue {
  std::string_view gigabytes, fat32, cylinders, ntfs;
};

inline constexpr WorkedValue kWorkedValues[] = {
    // An empty box reads as 0: the formulas' constants alone.
    {"", "-4", "1", "8"},
    {"0.3", "304.4", "40", "314"},
    {"0.5", "510", "66", "518"},
    {"1", "1024", "131", "1028"},
    {"1.5", "1538", "196", "1538"},
    {"2", "2052", "262", "2056"},
    {"8", "8220", "1045", "8198"},
    {"10", "10276", "1306", "10245"},
    {"12", "12332", "1567", "12292"},
    {"100", "102796", "13055", "102407"},
    {"1000", "1027996", "130542", "1024003"},
};

}  // namespace trelvik::test
