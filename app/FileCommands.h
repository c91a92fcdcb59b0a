#pragma once
// The file commands of the menu and the name of the document they keep, as the frame, the
// printing and the picture commands ask for them.

#include <QString>

class IFileCommands {
  public:
    virtual ~IFileCommands() = default;

    // Each returns false when it did not happen (cancelled or failed).
    virtual bool OnFileNew() = 0;
    virtual bool OnFileOpen() = 0;
    virtual bool OnFileSave() = 0;
    virtual bool OnFileSaveAs() = 0;
    virtual bool OnOpenRecentFile(int nIndex) = 0;
    // Asks whether to save a modified document: true to go on (saved or declined).
    virtual bool SaveModified() = 0;
    // The document's name for the title: the file name, or "无标题".
    virtual QString GetTitle() const = 0;
};
