#include "save_as.h"

#include "excel_export.h"
#include "file_kind.h"

namespace sondara {

FileResult SaveAs(const SurveyStore& store, const std::string& path, LongNames longNames) {
    switch (FileKindOf(path)) {
        case FileKind::SurveyFile:
            return SaveSurveyFile(store, path, longNames);
        case FileKind::Excel:
            return ExportExcel(store, path);
        case FileKind::Json:
        case FileKind::Other:
            break;
    }
    FileResult result;
    result.Fail({FileProblemKind::UnsupportedKind, path});
    return result;
}

}  // namespace sondara
