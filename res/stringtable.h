#pragma once

#include <QString>

#include <span>

// One row per string: the French text under its base identifier, the English
// text under the base identifier + 1000. A null English text is a string the
// English table deliberately lacks (it then falls back to French).
struct StringResource
{
    int nId;
    const char* pszFrench;   // UTF-8
    const char* pszEnglish;  // UTF-8, or nullptr
};

std::span<const StringResource> StringResources();

// Text stored under a resource identifier (French n or English n + 1000);
// empty when the table has none.
QString FindStringResource(int nResourceId);
