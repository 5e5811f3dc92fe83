#pragma once

// Status of a compared item; 0 to 3 index every per-status array.
enum CompareStatus : int
{
    CMP_SAME = 0,
    CMP_LEFT_ONLY = 1,
    CMP_RIGHT_ONLY = 2,
    CMP_DIFFERENT = 3,
    CMP_UNSET = 99,
};

constexpr int CMP_STATUS_COUNT = 4;
