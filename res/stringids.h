#pragma once

// Identifiers of the French strings; LoadLangString maps them to the English
// twins (n + 1000). Code loads strings through these names only, so the
// string table test can check that each of them exists.
namespace StringId {

inline constexpr int ProductName = 128;

inline constexpr int SelectSchema = 1050;
inline constexpr int AliasListUnavailable = 1051;
inline constexpr int DatabaseError = 1052;
inline constexpr int CannotOpenFile = 1053;
inline constexpr int CannotWriteFile = 1054;
inline constexpr int FieldExpressionRefused = 1055;
inline constexpr int DateExpressionClosesUnopened = 1056;
inline constexpr int DateExpressionUnclosedParenthesis = 1057;
inline constexpr int DateExpressionComment = 1058;
inline constexpr int DateExpressionUnclosedQuote = 1059;
inline constexpr int ConfirmDeleteFile = 1070;
inline constexpr int ConfirmReplaceFile = 1071;
inline constexpr int CancelledByUser = 1072;
inline constexpr int NoTableToUpdate = 1073;
inline constexpr int StoppedByDatabaseError = 1074;
inline constexpr int CannotWriteFileReason = 1075;
inline constexpr int CannotOpenFileReason = 1076;
inline constexpr int ConnectionFailed = 1080;
inline constexpr int NoProgramOpensFile = 1081;
inline constexpr int UnexpectedError = 1082;
inline constexpr int ConnectingTo = 1083;

// Comparison window
inline constexpr int SchemaListFailed = 1090;
inline constexpr int TableListFailed = 1091;
inline constexpr int LeftDatabase = 1092;
inline constexpr int RightDatabase = 1093;
inline constexpr int SchemaChoice = 1094;
inline constexpr int SearchText = 1095;
inline constexpr int SearchButton = 1096;
inline constexpr int TableList = 1097;

inline constexpr int UserDataSource = 1100;
inline constexpr int SystemDataSource = 1101;
inline constexpr int FilterCsv = 1151;
inline constexpr int FilterText = 1152;
inline constexpr int Ascending = 1160;
inline constexpr int Descending = 1161;
inline constexpr int FieldsTab = 1170;
inline constexpr int IndexesTab = 1171;

// Table structure window
inline constexpr int StructureTabs = 1172;
inline constexpr int FieldList = 1173;
inline constexpr int IndexList = 1174;
inline constexpr int StructureReadFailed = 1175;

inline constexpr int SelectResultFile = 1180;
inline constexpr int OpenResultFile = 1181;
inline constexpr int DeleteResultFile = 1182;
inline constexpr int PowerOfTen = 1183;
inline constexpr int StepUp = 1184;
inline constexpr int StepDown = 1185;

// Bases of the per-status groups: base + status 0 to 3.
inline constexpr int TableCounterBase = 1200;
inline constexpr int FieldCounterBase = 1300;
inline constexpr int AliasCounterBase = 1400;
inline constexpr int StatusWordBase = 1500;
inline constexpr int StatusCount = 4;

inline constexpr int AliasTitle = 1600;
// Alias attribute i (0 to 4): code AliasCodeBase + i, description AliasNameBase + i.
inline constexpr int AliasCodeBase = 1601;
inline constexpr int AliasNameBase = 1701;
inline constexpr int AliasAttributeCount = 5;

// Field form header band: column 0 to 4.
inline constexpr int FieldHeaderBase = 1800;
inline constexpr int FieldHeaderCount = 5;

inline constexpr int StatHeaderTable = 1900;
inline constexpr int StatHeaderRowCount = 1901;
inline constexpr int StatHeaderLastModified = 1902;

}  // namespace StringId
