#pragma once

#include <span>

// Dialog templates as data: one per French template id, the English one at
// id + 1000 sharing controls and layout. Sizes and rectangles are in dialog
// units; the builder of kitvane_ui turns them into widgets.

enum class ControlKind
{
    PushButton,
    Static,
    StaticIcon,
    GroupBox,
    ListBox,
    ListCtrl,
    TabCtrl,
    ProgressBar,
    Animation,
    LogoButton,
    RoundButton,
    ColorCheckButton,
    StaticLink,
    // Comparison window forms
    Edit,
    ComboBox,   // drop-down list
    // The tool dialogs' controls.
    RadioButton,
    UpDown,
    // The options dialog.
    CheckBox,
};

// Dialog flags.
enum : unsigned
{
    DLG_RESIZABLE = 0x1,   // thick frame: resizable, size remembered
    DLG_NOCAPTION = 0x2,   // no title bar
};

// Control flags.
enum : unsigned
{
    CTL_HIDDEN = 0x1,
    CTL_DISABLED = 0x2,
    CTL_RIGHT = 0x4,        // text right-aligned
    CTL_CENTER = 0x8,       // text centred
    CTL_SORTED = 0x10,      // list box sorted by text
    CTL_TABSTOPS = 0x20,    // list box expands tab characters
    CTL_DEFAULT = 0x40,     // the default push button
    CTL_TRANSPARENT = 0x80, // animation drawn over the dialog background
    CTL_GROUP = 0x100,      // radio button that starts a group of its own
};

struct ControlTemplate
{
    int nId;
    ControlKind kind;
    const char* pszFrench;    // UTF-8, may be null
    const char* pszEnglish;   // UTF-8, null: same as the French text
    int x, y, cx, cy;
    unsigned nFlags;
};

struct DialogTemplate
{
    int nId;                  // French id
    const char* pszFrench;
    const char* pszEnglish;
    int cx, cy;
    unsigned nFlags;
    const char* pszFontFace;  // face of the dialog font
    int nFontPoints;
    std::span<const ControlTemplate> controls;
};

// Dialog template ids (French; English at + 1000).
namespace DialogId {
inline constexpr int Main = 1000;
inline constexpr int DataSources = 1002;
inline constexpr int WaitDatabase = 1003;
inline constexpr int About = 1006;
inline constexpr int WaitDecimal = 1008;
inline constexpr int WaitStatistics = 1013;
// Comparison window forms
inline constexpr int CompareResult = 1004;
inline constexpr int Params = 1005;
inline constexpr int WaitCompare = 1012;
inline constexpr int DatabaseSelect = 1009;
inline constexpr int Launcher = 1010;
inline constexpr int DecimalUpdate = 1001;
inline constexpr int TableStatistics = 1007;
inline constexpr int TableStructure = 1011;
}  // namespace DialogId

// Control ids shared by the templates.
enum : int
{
    IDOK = 1,
    IDCANCEL = 2,
    IDC_ANIMATE = 509,
    IDC_DSN_CHOOSE = 512,
    IDC_DSN_NAME = 513,
    IDC_DSN_ADMIN = 514,
    IDC_CONNECT = 515,
    IDC_ABOUT = 516,
    IDC_DSN_ICON = 517,
    IDC_DSN_TAB = 518,
    IDC_DSN_USER = 519,
    IDC_DSN_SYSTEM = 520,
    IDC_VERSION = 521,
    IDC_WEBLINK = 522,
    IDC_LOGO_FRAME = 523,
    IDC_LOGO = 524,
    IDC_CONDITIONS = 525,
    IDC_HELP_DOC = 526,
    IDC_RELEASE = 527,
    IDC_PROGRESS = 528,
    IDC_WAIT_TITLE = 529,
    IDC_WAIT_ITEM = 530,
    IDC_WAIT_TEXT = 531,
    IDC_WAIT_COUNT = 532,
    IDC_COPYRIGHT = 533,
    IDC_DECIMAL_UPDATE = 1013,
    IDC_TABLE_STATS = 1014,
    IDC_COMPARE = 1015,
    IDC_SCHEMA_LIST = 2039,
    // Comparison window forms
    IDC_SCHEMA_COMBO = 5001,
    IDC_COMPARE_TABLES = 5003,
    IDC_COMPARE_ALIASES = 5004,
    IDC_ITEM_LIST = 5006,
    IDC_SEARCH_TEXT = 5007,
    IDC_SEARCH = 5008,
    IDC_DB_STATUS = 5009,         // why the side shows no table list
    IDC_FILTER_FIRST = 5013,      // result form: filter of status s is 5013 + s
    IDC_SHOW_STRUCTURE = 5015,    // selection form
    IDC_SHOW_DETAILS = 5017,
    IDC_EXPORT = 5020,
    // Table structure form: the tab control and its two lists.
    IDC_STRUCTURE_TAB = 518,
    IDC_FIELD_LIST = 5010,
    IDC_INDEX_LIST = 5012,
    // Options dialog: option n is shown by check box 5016 + n.
    IDC_OPTION_FIRST = 5016,
};

// Control ids of the tool dialogs and of their result-file group.
enum : int
{
    IDC_ALIAS = 500,
    IDC_POWER = 501,
    IDC_GENERATE = 502,
    IDC_CLASS = 503,
    IDC_MODE_ALIAS = 504,
    IDC_MODE_CLASS = 505,
    IDC_MULTIPLY = 506,
    IDC_DIVIDE = 507,
    IDC_POWER_LABEL = 508,
    IDC_POWER_SPIN = 510,
    IDC_RESULT_PATH = 1014,
    IDC_RESULT_LABEL = 1015,
    IDC_CLASS_NOTICE = 1017,
    IDC_DATE_UPMJ = 1018,
    IDC_DATE_FIELD = 1019,
    IDC_DATE_NONE = 1020,
    IDC_DATE_FIELD_NAME = 1021,
    IDC_DATE_GROUP = 1022,
    IDC_RESULT_SELECT = 1349,
    IDC_RESULT_OPEN = 1350,
    IDC_RESULT_DELETE = 1351,
};

// The template of a resource id (French n or English n + 1000), or null.
const DialogTemplate* FindDialogTemplate(int nResourceId);
// True for an English resource id (n + 1000) of a known template.
bool IsEnglishTemplateId(int nResourceId);
std::span<const DialogTemplate> DialogTemplates();
