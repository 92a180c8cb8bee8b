#include "tools/export_naming.h"

const char* ExportExtension(ExportType type) {
    switch (type) {
        case ExportType::kZaz:
            return kZazExtension;
        case ExportType::kPcapng:
            return kPcapngExtension;
        case ExportType::kCsv:
            break;
    }
    return kCsvExtension;
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
    if (EndsWithIgnoringCase(fileName, wanted)) {
        return fileName;
    }
    for (const char* other : {kCsvExtension, kZazExtension, kPcapngExtension}) {
        if (EndsWithIgnoringCase(fileName, other)) {
            return fileName.substr(0, fileName.size() - std::string(other).size()) + wanted;
        }
    }
    return fileName + wanted;
}
