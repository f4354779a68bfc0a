// The services the host gives the database layer: above all the working database, the
// drawing that commands and database calls without a database argument work on.
#pragma once

#include "arx/errorstatus.h"
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

    // Where the database layer shows text (an entity's list()): the standard output unless
    // the host puts its own services in place.
    virtual void displayString(const char* string, int count) const;

private:
    AcDbDatabase* m_workingDatabase = nullptr;
};

// The host's services object; it exists for the life of the process.
AcDbHostApplicationServices* acdbHostApplicationServices();
// Puts the host's own services in place (null puts the standard ones back); the working
// database carries over.  The services stay the caller's.
Acad::ErrorStatus acdbSetHostApplicationServices(AcDbHostApplicationServices* services);
