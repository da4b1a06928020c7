#include "save_as.h"

#include "atomic_file.h"
#include "core/messages.h"
#include "excel_export.h"
#include "file_texts.h"
#include "survey_file.h"

namespace sondara {

SaveKind SaveKindFor(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == "bhx") return SaveKind::SurveyFile;
    if (ext == "xls" || ext == "xlsx") return SaveKind::Excel;
    return SaveKind::Unsupported;
}

bool SaveAs(const SurveyStore& store, const std::string& path) {
    switch (SaveKindFor(path)) {
        case SaveKind::SurveyFile:
            return SaveSurveyFile(store, path);
        case SaveKind::Excel:
            return ExportExcel(store, path);
        case SaveKind::Unsupported:
            break;
    }
    ShowMessage(std::string(kUnsupportedExtensionText) + "\n\n" + path, kAppCaption, MessageIcon::Warning);
    return false;
}

}  // namespace sondara
