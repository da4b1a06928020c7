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

inline constexpr char kNoHolesText[] = "钻孔数据为空";
// The exchange file is not on drive C here: the text names no drive, the message adds
// the path.
inline constexpr char kGroupPlotFileFailedText[] = "未能建立群组图交换文件，只能单孔绘图";

}  // namespace sondara
