#pragma once
// The numbering plan of the exchange: which directory numbers dial an
// extension, a group or a tie line, and the numbers new records are given.
namespace tidelex
{

// Extensions answer to 100..499, groups to 500..599.
constexpr int FirstExtensionNumber = 100;
constexpr int LastExtensionNumber = 499;
constexpr int FirstGroupNumber = 500;
constexpr int LastGroupNumber = 599;

constexpr bool isExtensionNumber(int number)
{
    return number >= FirstExtensionNumber && number <= LastExtensionNumber;
}
constexpr bool isGroupNumber(int number)
{
    return number >= FirstGroupNumber && number <= LastGroupNumber;
}

// A tie line's second designated number above 500 hands the call to a
// group (Multiple Call Forward); 500 and below name an extension.
constexpr bool designatesGroup(int number)
{
    return number > FirstGroupNumber;
}

// Numbers a reset or a new system gives its records: extension i is
// 100 + i, tie line t is 900 + t, and groups count down from 546.
constexpr int FirstTieLineNumber = 900;
constexpr int TopGroupNumber = 546;

constexpr int defaultExtensionNumber(int i)
{
    return FirstExtensionNumber + i;
}
constexpr int defaultTieLineNumber(int t)
{
    return FirstTieLineNumber + t;
}

} // namespace tidelex
