// What every entity answers about itself: the box it takes, how it draws, where it is picked
// and grabbed, and how it lists.
#include "arx/acgi.h"
#include "arx/dbents.h"
#include "arx/dbmtext.h"
#include "db_test_support.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

::testing::AssertionResult Near(const AcGePoint3d& actual, const AcGePoint3d& expected,
                                double tolerance = 1e-9) {
    if (actual.distanceTo(expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not (" << expected.x
           << ", " << expected.y << ", " << expected.z << ")";
}

// Records what an entity draws.
class RecordingDraw final : public AcGiWorldDraw, public AcGiWorldGeometry, AcGiSubEntityTraits {
public:
    struct Shape {
        std::string kind;
        std::vector<AcGePoint3d> points;
        double size = 0.0;
        std::string text;
        int attachment = 0;
        Adesk::UInt16 color = 0;
    };
    std::vector<Shape> shapes;

    AcGiWorldGeometry& geometry() const override { return const_cast<RecordingDraw&>(*this); }
    AcGiSubEntityTraits& subEntityTraits() const override {
        return const_cast<RecordingDraw&>(*this);
    }
    void setColor(Adesk::UInt16 color) override { m_color = color; }
    Adesk::UInt16 color() const override { return m_color; }

    Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                          const AcGeVector3d&) const override {
        add({"circle", {center}, radius, "", 0, m_color});
        return Adesk::kFalse;
    }
    Adesk::Boolean polyline(Adesk::UInt32 count, const AcGePoint3d* points,
                            const AcGeVector3d*) const override {
        add({"polyline", std::vector<AcGePoint3d>(points, points + count), 0.0, "", 0, m_color});
        return Adesk::kFalse;
    }
    Adesk::Boolean mtext(const AcGePoint3d& location, const AcGeVector3d&, const AcGeVector3d&,
                         int attachment, double, double textHeight,
                         const char* contents) const override {
        add({"mtext", {location}, textHeight, contents, attachment, m_color});
        return Adesk::kFalse;
    }

private:
    void add(Shape shape) const { const_cast<RecordingDraw*>(this)->shapes.push_back(shape); }
    Adesk::UInt16 m_color = 256;
};

// Keeps what the database layer shows.
class RecordingServices final : public AcDbHostApplicationServices {
public:
    void displayString(const char* string, int count) const override {
        shown.append(string, static_cast<std::size_t>(count));
    }
    mutable std::string shown;
};

class EntityGeometry : public DrawingTest {};

TEST_F(EntityGeometry, ExtentsOfLinesAndCirclesInAnyPlane) {
    AcDbExtents box;
    AcDbLine line(AcGePoint3d(4, -1, 2), AcGePoint3d(-3, 5, 2));
    ASSERT_EQ(line.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(Near(box.minPoint(), AcGePoint3d(-3, -1, 2)));
    EXPECT_TRUE(Near(box.maxPoint(), AcGePoint3d(4, 5, 2)));

    // A circle in the xy plane is flat in z; one standing in the yz plane is flat in x; a
    // tilted one reaches r·sin of each axis's angle to its normal.
    AcDbCircle flat(AcGePoint3d(1, 1, 1), AcGeVector3d::kZAxis, 2.0);
    ASSERT_EQ(flat.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(Near(box.minPoint(), AcGePoint3d(-1, -1, 1)));
    EXPECT_TRUE(Near(box.maxPoint(), AcGePoint3d(3, 3, 1)));
    AcDbCircle standing(AcGePoint3d(0, 0, 0), AcGeVector3d::kXAxis, 1.0);
    ASSERT_EQ(standing.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(Near(box.minPoint(), AcGePoint3d(0, -1, -1)));
    EXPECT_TRUE(Near(box.maxPoint(), AcGePoint3d(0, 1, 1)));
    AcDbCircle tilted(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 1), 2.0);
    ASSERT_EQ(tilted.getGeomExtents(box), Acad::eOk);
    double half = 2.0 * std::sqrt(0.5);
    EXPECT_TRUE(Near(box.maxPoint(), AcGePoint3d(2.0, half, half)));

    // The box of several entities grows to take in each.
    AcDbExtents all;
    for (AcDbEntity* e : {static_cast<AcDbEntity*>(&line), static_cast<AcDbEntity*>(&flat)}) {
        ASSERT_EQ(e->getGeomExtents(box), Acad::eOk);
        all.addExt(box);
    }
    EXPECT_TRUE(Near(all.minPoint(), AcGePoint3d(-3, -1, 1)));
    EXPECT_TRUE(Near(all.maxPoint(), AcGePoint3d(4, 5, 2)));
    EXPECT_EQ(all.set(AcGePoint3d(1, 0, 0), AcGePoint3d(0, 0, 0)), Acad::eInvalidExtents);
}

TEST_F(EntityGeometry, ATextTakesTheBoxOfItsLinesFromItsAttachmentPoint) {
    AcDbMText text;
    text.setLocation(AcGePoint3d(10, 20, 0));
    text.setTextHeight(0.25);
    text.setWidth(3.0);
    text.setContents("one\\Ptwo\\Pthree");
    double height = text.actualHeight();
    ASSERT_GT(height, 0.5);
    AcDbExtents box;
    ASSERT_EQ(text.getGeomExtents(box), Acad::eOk);
    // Top left: the box hangs below and to the right of the location, the entity's width wide.
    EXPECT_TRUE(Near(box.minPoint(), AcGePoint3d(10, 20 - height, 0)));
    EXPECT_TRUE(Near(box.maxPoint(), AcGePoint3d(13, 20, 0)));
    // Bottom right: the same box above and to the left.
    text.setAttachment(AcDbMText::kBottomRight);
    ASSERT_EQ(text.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(Near(box.minPoint(), AcGePoint3d(7, 20, 0)));
    EXPECT_TRUE(Near(box.maxPoint(), AcGePoint3d(10, 20 + height, 0)));
    // Without a width the widest line sets it: narrower than the 3 units above.
    text.setAttachment(AcDbMText::kTopLeft);
    text.setWidth(0.0);
    ASSERT_EQ(text.getGeomExtents(box), Acad::eOk);
    EXPECT_GT(box.maxPoint().x, 10.0);
    EXPECT_LT(box.maxPoint().x, 12.0);
}

TEST_F(EntityGeometry, ATextsBoxFollowsEveryChangeOfItsContentsHeightAndWidth) {
    AcDbMText text;
    text.setTextHeight(0.25);
    text.setWidth(3.0);
    text.setContents("one\\Ptwo");
    auto bottom = [&] {
        AcDbExtents box;
        EXPECT_EQ(text.getGeomExtents(box), Acad::eOk);
        return box.minPoint().y;
    };
    auto right = [&] {
        AcDbExtents box;
        EXPECT_EQ(text.getGeomExtents(box), Acad::eOk);
        return box.maxPoint().x;
    };
    const double two = bottom();
    EXPECT_DOUBLE_EQ(bottom(), two); // asked again unchanged
    // Contents of the same length with a third line.
    text.setContents("one\\P\\Pw");
    EXPECT_LT(bottom(), two);
    EXPECT_DOUBLE_EQ(bottom(), -text.actualHeight());
    text.setContents("one\\Ptwo");
    EXPECT_DOUBLE_EQ(bottom(), two);
    text.setTextHeight(0.5);
    EXPECT_LT(bottom(), two);
    EXPECT_DOUBLE_EQ(bottom(), -text.actualHeight());
    // A width that lets the lines stand unwrapped, then none: the widest line sets the box.
    text.setWidth(0.0);
    const double unwrapped = right();
    EXPECT_GT(unwrapped, 0.0);
    EXPECT_LT(unwrapped, 3.0);
    text.setContents("one\\Ptwo three");
    EXPECT_GT(right(), unwrapped);
}

TEST_F(EntityGeometry, PickingDistancesAndGripPoints) {
    double d = -1.0;
    AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0));
    ASSERT_EQ(line.getDistanceTo(AcGePoint3d(2, 3, 0), d), Acad::eOk);
    EXPECT_DOUBLE_EQ(d, 3.0);
    ASSERT_EQ(line.getDistanceTo(AcGePoint3d(7, 4, 0), d), Acad::eOk); // beyond the end
    EXPECT_DOUBLE_EQ(d, 5.0);
    AcDbCircle circle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 2.0);
    ASSERT_EQ(circle.getDistanceTo(AcGePoint3d(0, 0.5, 0), d), Acad::eOk);
    EXPECT_DOUBLE_EQ(d, 1.5);

    // A text is picked on its lines only.
    AcDbMText text;
    text.setLocation(AcGePoint3d(0, 0, 0));
    text.setTextHeight(1.0);
    text.setContents("Wide words");
    EXPECT_EQ(text.getDistanceTo(AcGePoint3d(1.0, -0.5, 0), d), Acad::eOk);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(text.getDistanceTo(AcGePoint3d(1.0, 5.0, 0), d), Acad::eNotApplicable);

    AcGePoint3dArray grips;
    AcDbIntArray modes, ids;
    ASSERT_EQ(line.getGripPoints(grips, modes, ids), Acad::eOk);
    ASSERT_EQ(grips.length(), 2);
    EXPECT_TRUE(Near(grips.at(0), AcGePoint3d(0, 0, 0)));
    grips.setLogicalLength(0);
    ASSERT_EQ(circle.getGripPoints(grips, modes, ids), Acad::eOk);
    ASSERT_EQ(grips.length(), 1);
    EXPECT_TRUE(Near(grips.at(0), AcGePoint3d(0, 0, 0)));
}

TEST_F(EntityGeometry, EachEntityDrawsItsOwnShapesInTheColourGiven) {
    AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0));
    AcDbCircle circle(AcGePoint3d(5, 5, 0), AcGeVector3d::kZAxis, 0.5);
    AcDbMText text;
    text.setAttachment(AcDbMText::kMiddleCenter);
    text.setContents("label");
    RecordingDraw draw;
    for (AcDbEntity* e : {static_cast<AcDbEntity*>(&line), static_cast<AcDbEntity*>(&circle),
                          static_cast<AcDbEntity*>(&text)}) {
        draw.subEntityTraits().setColor(3);
        EXPECT_TRUE(e->worldDraw(&draw));
    }
    ASSERT_EQ(draw.shapes.size(), 3u);
    EXPECT_EQ(draw.shapes[0].kind, "polyline");
    ASSERT_EQ(draw.shapes[0].points.size(), 2u);
    EXPECT_TRUE(Near(draw.shapes[0].points[1], AcGePoint3d(1, 2, 0)));
    EXPECT_EQ(draw.shapes[1].kind, "circle");
    EXPECT_DOUBLE_EQ(draw.shapes[1].size, 0.5);
    EXPECT_EQ(draw.shapes[2].kind, "mtext");
    EXPECT_EQ(draw.shapes[2].text, "label");
    EXPECT_EQ(draw.shapes[2].attachment, AcDbMText::kMiddleCenter);
    for (const auto& shape : draw.shapes)
        EXPECT_EQ(shape.color, 3);
}

TEST_F(EntityGeometry, ListingGoesWhereTheHostServicesShowText) {
    AcDbObjectId id =
        appendToModelSpace(new AcDbCircle(AcGePoint3d(1, 2, 3), AcGeVector3d::kZAxis, 4.5));
    RecordingServices services;
    acdbSetHostApplicationServices(&services);
    // The working database carries over to the new services.
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), db());
    AcDbEntity* entity = nullptr;
    ASSERT_EQ(acdbOpenObject(entity, id, AcDb::kForRead), Acad::eOk);
    entity->list();
    entity->close();
    acdbSetHostApplicationServices(nullptr);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), db());
    char handle[AcDbHandle::kStrSiz];
    id.handle().getIntoAsciiBuffer(handle, sizeof handle);
    EXPECT_EQ(services.shown, std::string("\nCIRCLE  Layer: \"0\"  Handle = ") + handle +
                                  "\n  Center: X=1.0000  Y=2.0000  Z=3.0000\n  Radius: 4.5000");
}

} // namespace
