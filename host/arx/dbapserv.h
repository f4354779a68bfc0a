// The services the host gives the database layer: above all the working database, the
// drawing that commands and database calls without a database argument work on.
#pragma once

#include "arx/rxobject.h"

class AcDbDatabase;

class AcDbHostApplicationServices : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbHostApplicationServices);
    AcDbHostApplicationServices();
    ~AcDbHostApplicationServices() override;

    // nullptr when there is none (no drawing open).  A database that is destroyed stops
    // being the working database.
    AcDbDatabase* workingDatabase() const;
    // The editor sets it when documents switch.
    void setWorkingDatabase(AcDbDatabase* db);

private:
    AcDbDatabase* m_workingDatabase = nullptr;
};

// The host's services object; it exists for the life of the process.
AcDbHostApplicationServices* acdbHostApplicationServices();
