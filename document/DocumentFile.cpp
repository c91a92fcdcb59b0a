#include "document/DocumentFile.h"

#include "document/FunFile.h"

#include <new>

bool LoadDocument(CCurvistDoc& doc, const std::string& path, std::string* error) {
    // Memory running out on a large file is a failed open like any other, never an abort.
    try {
        auto bytes = ReadWholeFile(path, kMaxFunFileBytes, error);
        if (!bytes) return false;
        CFunFileError why;
        auto funs = ReadFunFile(*bytes, &why);
        if (!funs) {
            if (error) *error = "cannot read \"" + path + "\": " + why.m_strMessage;
            return false;
        }
        doc.ReplaceContents(std::move(*funs));
        return true;
    } catch (const std::bad_alloc&) {
        if (error) *error = "cannot read \"" + path + "\": not enough memory to open it";
        return false;
    }
}

bool SaveDocument(const CCurvistDoc& doc, const std::string& path, std::string* error,
                  const CWriteFn& write, CWriteReport* report) {
    return WriteFileAtomically(path, WriteFunFile(doc.m_arFuns), error, write, report);
}
