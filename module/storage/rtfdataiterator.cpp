#include "storage/rtfdataiterator.h"

#include "storage/dictdata.h"
#include "storage/dictdatawrapper.h"

#include "arx/dbdict.h"

CKSRrtfDataIterator::CKSRrtfDataIterator(AcDbDatabase* database) : m_Database(database) {
    m_Dictionary = database ? KSRxDictData::OpenSpecDictionary(database) : nullptr;
    if (m_Dictionary)
        m_Iterator = m_Dictionary->newIterator(AcRx::kDictSorted);
}

CKSRrtfDataIterator::~CKSRrtfDataIterator() {
    delete m_Iterator;
    if (m_Dictionary)
        m_Dictionary->close();
}

bool CKSRrtfDataIterator::Next() {
    if (!m_Iterator || m_Iterator->done())
        return false;
    if (m_Started)
        m_Iterator->next();
    m_Started = true;
    return !m_Iterator->done();
}

Acad::ErrorStatus CKSRrtfDataIterator::Current(std::string& name, std::string* text) {
    if (!m_Iterator || m_Iterator->done())
        return Acad::eInvalidInput;
    AcDbObject* object = nullptr;
    Acad::ErrorStatus status = m_Iterator->getObject(object, AcDb::kForRead);
    if (status != Acad::eOk)
        return status;
    name = m_Iterator->name();
    if (text) {
        KSRxDictDataWrapper* wrapper = KSRxDictDataWrapper::cast(object);
        if (wrapper)
            wrapper->data(*text);
        else
            text->clear();
    }
    object->close();
    return Acad::eOk;
}
