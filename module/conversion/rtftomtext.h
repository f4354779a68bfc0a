// Rich Text to MText content, translated by the host.
#pragma once

#include <string>

// The module has no Rich Text reader of its own: the host's MText entity translates Rich Text
// into its content, and this converter hands it the text and takes the content back.
class CRtfToMtext {
public:
    CRtfToMtext();
    ~CRtfToMtext();

    // The MText content of the Rich Text (plain text is taken as Rich Text without codes).
    // Nothing is reported: text the host cannot translate gives whatever content it leaves,
    // empty text gives empty content.  The host usually wraps the content in one outer group.
    std::string Convert(const std::string& rtf) const;
};
