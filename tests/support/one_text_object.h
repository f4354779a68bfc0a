// A module's object that keeps one text, filed the way the module's own data wrapper files its
// source: the object part, then the subclass marker "OneTextObject" (100) and the text (300 in
// DXF).  Its DXF name "TESTNOTE" (the record type) differs from its class name in capitals;
// its application name is "RIVLETTESTS".
#pragma once

#include "arx/dbobject.h"

#include <string>

namespace rivlet_test {

class OneTextObject : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(OneTextObject);
    std::string text;

    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
};

} // namespace rivlet_test
