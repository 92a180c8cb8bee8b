#include "tools/export_naming.h"

const char* ExportExtension(ExportType type) {
    return type == ExportType::kCsv ? kCsvExtension : kZazExtension;
}

std::string DeriveExportFileName(const std::string& recordPath, ExportType type,
                                 const FileExists& exists) {
    std::string stem = recordPath;
    if (EndsWithIgnoringCase(stem, kZazExtension)) {
        stem.resize(stem.size() - 4);
    }
    stem += "_export";
    const std::string extension = ExportExtension(type);
    return FirstFreeName(stem, extension, exists).value_or(stem + extension);
}

std::string CorrectExportExtension(const std::string& fileName, ExportType type) {
    const std::string wanted = ExportExtension(type);
    const std::string other =
        ExportExtension(type == ExportType::kCsv ? ExportType::kZaz : ExportType::kCsv);
    if (EndsWithIgnoringCase(fileName, wanted)) {
        return fileName;
    }
    if (EndsWithIgnoringCase(fileName, other)) {
        return fileName.substr(0, fileName.size() - other.size()) + wanted;
    }
    return fileName + wanted;
}
