#include "doc/DocumentFile.h"

#include "doc/FunFile.h"

bool LoadDocument(CCurvistDoc& doc, const std::string& path, std::string* error) {
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
}

bool SaveDocument(const CCurvistDoc& doc, const std::string& path, std::string* error,
                  const CWriteFn& write) {
    return WriteFileAtomically(path, WriteFunFile(doc.m_arFuns), error, write);
}
