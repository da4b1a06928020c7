#pragma once
// The texts the file commands show the user, in one place so the desktop program,
// the command-line tool and the tests agree on them.

namespace sondara {

// The caption of messages that come from the program itself rather than a dialog.
inline constexpr char kAppCaption[] = "Sondara";
inline constexpr char kWarningCaption[] = "警告";
inline constexpr char kErrorCaption[] = "错误";

inline constexpr char kWrongFormatText[] = "数据格式不匹配，请重新选择";
inline constexpr char kOpenFailedText[] = "打开文档失败。";
inline constexpr char kSaveFailedText[] = "保存文档失败。";
inline constexpr char kDamagedFileText[] = "数据文件已损坏，未载入。";
inline constexpr char kUnsupportedExtensionText[] =
    "不支持的文件类型，未保存。\n请使用扩展名 .bhx（数据文件）、.xlsx 或 .xls（Excel 工作表）。";

inline constexpr char kJsonParseFailedFormat[] = "JSON 文件解析失败\n\n原因：%s\n位置：%zu\n";
inline constexpr char kJsonStructureText[] = "JSON 文件内容不符合测斜数据格式，未导入。";

inline constexpr char kSheetCreateFailedText[] = "表格创建失败，请确认是否已创建";
inline constexpr char kRowWriteFailedText[] = "数据写入失败";
inline constexpr char kExportFailedText[] = "Excel 文件写入失败。";

inline constexpr char kJsonNotAloneText[] = "JSON 测斜数据文件只能单独打开，不能与其他文件合并。";

inline constexpr char kReadOnlyTargetText[] = "文件为只读，未保存。";
inline constexpr char kForeignLinkText[] = "该文件名是其他用户在公共文件夹中建立的符号链接，为安全起见未保存。";
inline constexpr char kNamesCutText[] = "以下钻孔名称超过数据文件可保存的 12 个字符，已截短保存：";
inline constexpr char kNamesTooLongText[] = "以下钻孔名称超过数据文件可保存的 12 个字符，未保存：";
inline constexpr char kNamesCollideText[] =
    "以下钻孔名称截短到数据文件可保存的 12 个字符后会重名，未保存。请先修改名称：";
inline constexpr char kNamesCutQuestionText[] = "以下钻孔名称超过数据文件可保存的 12 个字符，将截短保存：";
inline constexpr char kNamesCutQuestionEnd[] = "是否截短后保存？";
inline constexpr char kQuestionCaption[] = "提示";

inline constexpr char kNoHolesText[] = "钻孔数据为空";
// The exchange file is not on drive C here: the text names no drive, the message adds
// the path.
inline constexpr char kGroupPlotFileFailedText[] = "未能建立群组图交换文件，只能单孔绘图";

}  // namespace sondara
