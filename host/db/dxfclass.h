// One description of the DXF groups of each of the host's classes, read by their DXF filing
// (dxfOutFields/dxfInFields) and by the file writer when it merges a changed object with the
// groups it was read with.
//
// A class's subclass (the groups after its 100 marker) is a list of fields.  A field names
// the group codes it owns (a point's x code brings its y and z codes), how it writes them and
// how it takes a read item.  Writing goes through the fields in their order; reading hands
// each item to the field that owns its code and ignores the rest.  A field without a writer
// is one the class reads but never writes (an alternative form other programs write); one
// without a reader is written with a value of the class's own choosing.  The description
// registers itself, so that the file reader finds the class of a DXF type name and the merge
// knows which groups a subclass owns.
#pragma once

#include "arx/dbfiler.h"
#include "arx/rxobject.h"
#include "db/dxfitems.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cadhost::db {

// What the file writer needs to know of a subclass.
struct DxfSubclassInfo {
    std::string name;               // the 100 marker's value
    std::vector<int> owned;         // every group code its fields own
    std::vector<int> keepRead;      // groups filed with a fixed value the class does not keep: a
                                    // changed object writes back the value it was read with
    AcRxClass* (*desc)() = nullptr; // the class whose own subclass it is
};

// The subclass of that name among the host's classes, or nullptr.
const DxfSubclassInfo* FindDxfSubclass(std::string_view name);
// The host class whose objects the file reader makes from records of a DXF type name, or
// nullptr (custom classes come from the file's CLASSES section).
AcRxClass* HostClassOfDxfType(std::string_view type);

void RegisterDxfSubclass(DxfSubclassInfo info);

// The reading state of a class that needs none.
struct NoReadState {};

template <class T, class State = NoReadState> class DxfSubclass {
public:
    using Writer = std::function<void(const T&, AcDbDxfFiler*)>;
    using Reader = std::function<Acad::ErrorStatus(T&, State&, const resbuf&, AcDbDxfFiler*)>;
    // Runs once all items of the subclass are read, without a failure.
    using Finisher = std::function<void(T&, State&, AcDbDxfFiler*)>;

    struct Field {
        std::vector<int> codes;
        Writer write;
        Reader read;
        bool keepRead = false;
    };

    DxfSubclass(const char* name, std::vector<Field> fields, Finisher finish = {})
        : m_name(name), m_fields(std::move(fields)), m_finish(std::move(finish)) {
        DxfSubclassInfo info{m_name, {}, {}, &T::desc};
        for (const Field& field : m_fields) {
            info.owned.insert(info.owned.end(), field.codes.begin(), field.codes.end());
            if (field.keepRead)
                info.keepRead.insert(info.keepRead.end(), field.codes.begin(), field.codes.end());
        }
        // The reading field of each code, the first that owns it as the fields are listed.
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            if (!m_fields[i].read)
                continue;
            for (int code : m_fields[i].codes) {
                if (code < 0)
                    continue;
                const auto at = static_cast<std::size_t>(code);
                if (at >= m_readerOfCode.size())
                    m_readerOfCode.resize(at + 1, kNoReader);
                if (m_readerOfCode[at] == kNoReader)
                    m_readerOfCode[at] = static_cast<std::uint16_t>(i);
            }
        }
        RegisterDxfSubclass(std::move(info));
    }

    // The subclass marker, then every field that writes.
    Acad::ErrorStatus fileOut(const T& object, AcDbDxfFiler* filer) const {
        filer->writeString(AcDb::kDxfSubclass, m_name.c_str());
        for (const Field& field : m_fields)
            if (field.write)
                field.write(object, filer);
        return filer->filerStatus();
    }

    // Reads the subclass when the filer stands at its marker; a file without it leaves the
    // object as it is.
    Acad::ErrorStatus fileIn(T& object, AcDbDxfFiler* filer) const {
        if (!filer->atSubclassData(m_name.c_str()))
            return filer->filerStatus();
        State state{};
        Acad::ErrorStatus es = ReadSubclassItems(filer, [&](const resbuf& item) {
            const Field* field = readerOf(item.restype);
            return field ? field->read(object, state, item, filer) : Acad::eOk;
        });
        if (es != Acad::eOk)
            return es;
        if (m_finish)
            m_finish(object, state, filer);
        return filer->filerStatus();
    }

    // ---- Fields ----

    static Field point(int code, AcGePoint3d T::*member) {
        return {PointCodes(code),
                [=](const T& o, AcDbDxfFiler* f) {
                    f->writePoint3d(static_cast<AcDb::DxfCode>(code), o.*member);
                },
                [=](T& o, State&, const resbuf& item, AcDbDxfFiler*) {
                    o.*member = PointOf(item);
                    return Acad::eOk;
                },
                false};
    }

    // A vector; written only when it is not `standard` (unless the filer asks for default
    // values); a read value goes through `usable`.
    static Field vector(int code, AcGeVector3d T::*member, AcGeVector3d standard,
                        AcGeVector3d (*usable)(const AcGeVector3d&)) {
        return {PointCodes(code),
                [=](const T& o, AcDbDxfFiler* f) {
                    if (!(o.*member).isEqualTo(standard) || f->includesDefaultValues())
                        f->writeVector3d(static_cast<AcDb::DxfCode>(code), o.*member);
                },
                [=](T& o, State&, const resbuf& item, AcDbDxfFiler*) {
                    o.*member = usable(VectorOf(item));
                    return Acad::eOk;
                },
                false};
    }

    // A real; a read value is taken when `acceptable` says so; otherwise the member keeps
    // its value, or takes `fallback` when there is one.
    static Field real(int code, double T::*member, bool (*acceptable)(double),
                      std::optional<double> fallback = std::nullopt) {
        return {{code},
                [=](const T& o, AcDbDxfFiler* f) {
                    f->writeDouble(static_cast<AcDb::DxfCode>(code), o.*member);
                },
                [=](T& o, State&, const resbuf& item, AcDbDxfFiler*) {
                    if (acceptable(item.resval.rreal))
                        o.*member = item.resval.rreal;
                    else if (fallback)
                        o.*member = *fallback;
                    return Acad::eOk;
                },
                false};
    }

    // Groups the class always writes with the same value and does not read.
    static Field fixedInt16(int code, Adesk::Int16 value) {
        return {{code},
                [=](const T&, AcDbDxfFiler* f) {
                    f->writeInt16(static_cast<AcDb::DxfCode>(code), value);
                },
                {},
                false};
    }
    static Field fixedReal(int code, double value) {
        return {{code},
                [=](const T&, AcDbDxfFiler* f) {
                    f->writeDouble(static_cast<AcDb::DxfCode>(code), value);
                },
                {},
                false};
    }
    static Field fixedString(int code, const char* value) {
        return {{code},
                [=](const T&, AcDbDxfFiler* f) {
                    f->writeString(static_cast<AcDb::DxfCode>(code), value);
                },
                {},
                false};
    }

    // Groups the subclass owns but neither writes nor reads: another part of the host writes
    // them, or they would contradict what the class writes.
    static Field owned(std::vector<int> codes) { return {std::move(codes), {}, {}, false}; }

    // A field written with a value the class does not keep (it has no member for it): when a
    // changed object is written back to the file it was read from, the value read stays.
    static Field keptOnChange(Field field) {
        field.keepRead = true;
        return field;
    }

    // A field with its own writer and reader.
    static Field custom(std::vector<int> codes, Writer write, Reader read) {
        return {std::move(codes), std::move(write), std::move(read), false};
    }

    // A point's x code with its y and z codes.
    static std::vector<int> PointCodes(int code) { return {code, code + 10, code + 20}; }

private:
    static constexpr std::uint16_t kNoReader = 0xFFFF;

    const Field* readerOf(int code) const {
        if (code < 0 || static_cast<std::size_t>(code) >= m_readerOfCode.size())
            return nullptr;
        const std::uint16_t at = m_readerOfCode[static_cast<std::size_t>(code)];
        return at == kNoReader ? nullptr : &m_fields[at];
    }

    std::string m_name;
    std::vector<Field> m_fields;
    Finisher m_finish;
    std::vector<std::uint16_t> m_readerOfCode; // by group code: the index of its reading field
};

// The description of a class's own subclass, defined in the class's file.  A friend of the
// class, so that the fields name its members.
template <class T> struct DxfFields;

} // namespace cadhost::db
