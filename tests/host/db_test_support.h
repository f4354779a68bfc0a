// Shared pieces of the database tests: a drawing that is the working database for the
// test, and an in-memory DXF filer that records what objects file.
#pragma once

#include "arx/dbapserv.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/dbservices.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// A fresh default drawing, the working database while the test runs.
class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = acdbHostApplicationServices()->workingDatabase();
        m_db = std::make_unique<AcDbDatabase>();
        acdbHostApplicationServices()->setWorkingDatabase(m_db.get());
    }
    void TearDown() override {
        m_db.reset();
        acdbHostApplicationServices()->setWorkingDatabase(m_previous);
    }
    AcDbDatabase* db() { return m_db.get(); }

    // Appends the entity to model space and closes both; answers its id.
    AcDbObjectId appendToModelSpace(AcDbEntity* entity) {
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(acdbOpenObject(space, db()->currentSpaceId(), AcDb::kForWrite), Acad::eOk);
        AcDbObjectId id;
        EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
        entity->close();
        space->close();
        return id;
    }

private:
    AcDbDatabase* m_previous = nullptr;
    std::unique_ptr<AcDbDatabase> m_db;
};

// Records DXF items as (code, value) and reads them back.
class MemoryDxfFiler : public AcDbDxfFiler {
public:
    struct Item {
        explicit Item(short c) : code(c) {}
        short code;
        std::string text;
        double v[3] = {0, 0, 0};
        std::int64_t integer = 0;
        std::int64_t name[2] = {0, 0};
    };

    explicit MemoryDxfFiler(AcDbDatabase* db = nullptr) : m_db(db) {}

    Acad::ErrorStatus filerStatus() const override { return m_status; }
    void resetFilerStatus() override { m_status = Acad::eOk; }
    AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
    AcDbDatabase* database() const override { return m_db; }
    int rewindFiler() override {
        m_pos = 0;
        return RTNORM;
    }

    Acad::ErrorStatus readItem(resbuf* rb) override {
        if (m_pos >= m_items.size())
            return Acad::eEndOfObject;
        const Item& item = m_items[m_pos++];
        *rb = resbuf{};
        rb->restype = item.code;
        if (acutRbTypeIsString(item.code)) {
            rb->resval.rstring = const_cast<char*>(m_items[m_pos - 1].text.c_str());
        } else if (acutRbTypeIsPoint(item.code)) {
            std::memcpy(rb->resval.rpoint, item.v, sizeof item.v);
        } else if ((item.code >= 40 && item.code <= 59) || (item.code >= 140 && item.code <= 149)) {
            rb->resval.rreal = item.v[0];
        } else if ((item.code >= 90 && item.code <= 99)) {
            rb->resval.rlong = static_cast<std::int32_t>(item.integer);
        } else if (item.code >= 330 && item.code <= 369) {
            rb->resval.rlname[0] = item.name[0];
            rb->resval.rlname[1] = item.name[1];
        } else {
            rb->resval.rint = static_cast<short>(item.integer);
        }
        return Acad::eOk;
    }
    Acad::ErrorStatus writeItem(const resbuf& rb) override {
        Item item{rb.restype};
        if (acutRbTypeIsString(rb.restype)) {
            item.text = rb.resval.rstring ? rb.resval.rstring : "";
        } else if (acutRbTypeIsPoint(rb.restype)) {
            std::memcpy(item.v, rb.resval.rpoint, sizeof item.v);
        } else if ((rb.restype >= 40 && rb.restype <= 59) ||
                   (rb.restype >= 140 && rb.restype <= 149)) {
            item.v[0] = rb.resval.rreal;
        } else if (rb.restype >= 90 && rb.restype <= 99) {
            item.integer = rb.resval.rlong;
        } else if (rb.restype >= 330 && rb.restype <= 369) {
            item.name[0] = rb.resval.rlname[0];
            item.name[1] = rb.resval.rlname[1];
        } else {
            item.integer = rb.resval.rint;
        }
        m_items.push_back(item);
        return m_status;
    }
    Acad::ErrorStatus pushBackItem() override {
        if (m_pos > 0)
            --m_pos;
        return Acad::eOk;
    }
    bool atEOF() override { return m_pos >= m_items.size(); }
    bool atSubclassData(const char* name) override {
        if (m_pos < m_items.size() && m_items[m_pos].code == 100 && m_items[m_pos].text == name) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool atExtendedData() override { return m_pos < m_items.size() && m_items[m_pos].code == 1001; }
    bool atEndOfObject() override { return atEOF(); }
    Acad::ErrorStatus setError(Acad::ErrorStatus status, const char* format, ...) override {
        va_list args;
        va_start(args, format);
        record(format, args);
        va_end(args);
        if (m_status == Acad::eOk)
            m_status = status;
        return m_status;
    }
    Acad::ErrorStatus setError(const char* format, ...) override {
        va_list args;
        va_start(args, format);
        record(format, args);
        va_end(args);
        if (m_status == Acad::eOk)
            m_status = Acad::eFilerError;
        return m_status;
    }
    const char* errorMessage() const override { return m_message.c_str(); }
    int precision() const override { return 16; }
    void setPrecision(int) override {}
    bool includesDefaultValues() const override { return false; }

    std::vector<Item>& items() { return m_items; }
    // The items' group codes, in order.
    std::vector<int> codes() const {
        std::vector<int> out;
        for (const Item& item : m_items)
            out.push_back(item.code);
        return out;
    }
    // The text of the first item of the code after skip others of it.
    std::string textOf(int code, int skip = 0) const {
        for (const Item& item : m_items)
            if (item.code == code && skip-- == 0)
                return item.text;
        return "<none>";
    }

private:
    void record(const char* format, va_list args) {
        char buffer[512];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        m_message = buffer;
    }

    AcDbDatabase* m_db;
    std::vector<Item> m_items;
    std::size_t m_pos = 0;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::string m_message;
};
