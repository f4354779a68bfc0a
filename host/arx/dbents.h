// Simple entities: lines and circles.
#pragma once

#include "arx/dbentity.h"

class AcDbLine : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbLine);
    AcDbLine();
    AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end);
    ~AcDbLine() override;

    AcGePoint3d startPoint() const;
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& point);
    AcGePoint3d endPoint() const;
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& point);
    // The normal of the plane the line's thickness extends along.
    AcGeVector3d normal() const;
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

    // Any affine matrix: both ends move with it.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    void list() const override;
    Acad::ErrorStatus getDistanceTo(const AcGePoint3d& point, double& distance) const override;
    Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
    Acad::ErrorStatus getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                    AcDbIntArray& geomIds) const override;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    friend struct cadhost::db::DxfFields<AcDbLine>;
    AcGePoint3d m_start;
    AcGePoint3d m_end;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
};

class AcDbCircle : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbCircle);
    AcDbCircle();
    AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius);
    ~AcDbCircle() override;

    AcGePoint3d center() const;
    Acad::ErrorStatus setCenter(const AcGePoint3d& center);
    // Greater than zero: eNegativeValueNotAllowed below zero, eInvalidInput for zero or a
    // value that is not a number.
    double radius() const;
    Acad::ErrorStatus setRadius(double radius);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; the normal is kept at unit length.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

    // A circle stays a circle only under moves, turns, mirrors and uniform scaling:
    // eCannotScaleNonUniformly for other matrices, eInvalidInput for a singular one.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    void list() const override;
    Acad::ErrorStatus getDistanceTo(const AcGePoint3d& point, double& distance) const override;
    Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
    Acad::ErrorStatus getGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                    AcDbIntArray& geomIds) const override;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    friend struct cadhost::db::DxfFields<AcDbCircle>;
    AcGePoint3d m_center;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    double m_radius = 1.0;
};
