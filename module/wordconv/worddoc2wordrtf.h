// Word documents to Rich Text through Word's automation interface.
//
// Making the bridge finds Word and attaches to a running Word or starts one; ConvertToRtf
// opens one document, saves it as Rich Text to a temporary file, closes it and answers the
// file's text with the hanging indents fixed; destroying the bridge quits Word.  One bridge
// serves one batch of documents.
#pragma once

#include "win/com.h"

#include <string>

class WordDoc2WordRtf {
public:
    WordDoc2WordRtf();
    ~WordDoc2WordRtf();
    WordDoc2WordRtf(const WordDoc2WordRtf&) = delete;
    WordDoc2WordRtf& operator=(const WordDoc2WordRtf&) = delete;

    // The document's Rich Text into rtf; false when Word is missing or the document could not
    // be opened or saved.  A document that fails does not spoil the ones after it.
    bool ConvertToRtf(const char* documentPath, std::string& rtf);

    IDispatch* m_App = nullptr; // Word's Application; null when Word is not available
    CLSID m_DocClsid{};         // "Word.Document.8"
    CLSID m_AppClsid{};         // "Word.Application.8"

private:
    void Connect();
    void Release();

    // Set once Word answered: a Word that went away during the batch is started again for the
    // next document.
    bool m_Connected = false;
};
