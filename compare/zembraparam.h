#pragma once

#include <QtGlobal>

class CSettingsStore;

// Numbers of the on/off options of comparisons and exports (bit n of
// CZembraParam::m_dwOptions).
enum ZembraOption : int
{
    OPT_SEPARATOR = -1,  // in a list of shown options: indent the next check box
    OPT_EXPORT_FIELD_LIST = 0,
    OPT_EXPORT_INDEX_LIST = 1,
    OPT_CASE_SENSITIVE = 2,
    OPT_EXPORT_TABLES_SAME = 3,
    OPT_EXPORT_TABLES_LEFT_ONLY = 4,
    OPT_EXPORT_TABLES_RIGHT_ONLY = 5,
    OPT_EXPORT_TABLES_DIFFERENT = 6,
    OPT_EXPORT_DIFF_FIELDS_SAME = 7,
    OPT_EXPORT_DIFF_FIELDS_LEFT_ONLY = 8,
    OPT_EXPORT_DIFF_FIELDS_RIGHT_ONLY = 9,
    OPT_EXPORT_DIFF_FIELDS_DIFFERENT = 10,
    OPT_EXPORT_FIELDS_SAME = 11,
    OPT_EXPORT_FIELDS_LEFT_ONLY = 12,
    OPT_EXPORT_FIELDS_RIGHT_ONLY = 13,
    OPT_EXPORT_FIELDS_DIFFERENT = 14,
    OPT_EXPORT_ALIASES_SAME = 15,
    OPT_EXPORT_ALIASES_LEFT_ONLY = 16,
    OPT_EXPORT_ALIASES_RIGHT_ONLY = 17,
    OPT_EXPORT_ALIASES_DIFFERENT = 18,
    OPT_COMPARE_DTAT = 19,
    OPT_COMPARE_DTAS = 20,
    OPT_COMPARE_OWTP = 21,
    OPT_COMPARE_DTAD = 22,
    OPT_COMPARE_CDEC = 23,
    OPT_COMPARE_SQL_TYPES = 24,
    OPT_SAME_SIZE_STRINGS_EQUAL = 25,
    OPT_MAX_INDEX = 25,
};

constexpr int OPT_COUNT = OPT_MAX_INDEX + 1;

// The options of comparisons and exports, owned by the application object,
// loaded at start-up and saved at exit (section "Params": "Value" and
// "MaxIndex"). The options dialog that edits a subset belongs to the GUI.
class CZembraParam
{
public:
    CZembraParam();

    static bool GetOptionDefault(int nOption);

    // Numbers outside 0 to 25 are never set and cannot be set.
    bool IsOptionSet(int nOption) const;
    void SetOption(int nOption, bool bSet);

    // Stored options keep the user's choice; options newer than the stored
    // "MaxIndex" (all of them on a first start) get their defaults.
    void LoadOptions(const CSettingsStore& settings);
    void SaveOptions(CSettingsStore& settings) const;

    quint32 m_dwOptions = 0;
};
