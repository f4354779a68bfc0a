// The database object that holds one text value of the specification dictionary, filed to DWG and
// DXF.
#pragma once

#include "arx/dbobject.h"

#include <string>

class KSRxDictDataWrapper : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(KSRxDictDataWrapper);

    KSRxDictDataWrapper();
    explicit KSRxDictDataWrapper(const char* data);
    ~KSRxDictDataWrapper() override;

    Acad::ErrorStatus data(std::string& out) const;
    // A null text stores the empty text.
    Acad::ErrorStatus setData(const char* data);

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // Registers the run-time class once the module is loaded; the host's abort when the
    // name already belongs to a class that is not ours.  The caller rebuilds the hierarchy.
    static void rxInit();
    // Removes the class again when the module unloads.
    static void rxUninit();

private:
    std::string m_Data;
};
