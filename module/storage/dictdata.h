// Named text values of a drawing, kept in its spec dictionary "KSR_SPEC_DICTIONARY".
//
// The entry operations store one value under one key.  The data operations work on the
// working database and split a value longer than one entry holds into chunks: the key then
// holds "BROKEN <n>" and the chunks sit under "<key>_0" ... "<key>_<n-1>".
#pragma once

#include <cstddef>
#include <string>

class AcDbDatabase;
class AcDbDictionary;

class KSRxDictData {
public:
    // The most bytes one entry holds.
    static constexpr std::size_t kChunkSize = 32767;

    // The specification dictionary open for read (the caller closes it), created when missing;
    // nullptr when it can neither be found nor made.
    static AcDbDictionary* OpenSpecDictionary(AcDbDatabase* database);

    static bool GetEntry(AcDbDatabase* database, const char* key, std::string& value);
    static bool SetEntry(AcDbDatabase* database, const char* key, const std::string& value);
    // Removes the entry and erases its object, which nothing else refers to.
    static bool DeleteEntry(AcDbDatabase* database, const char* key);

    static bool GetData(const char* key, std::string& value);
    // Replaces the value under the key; chunks of the value it replaces that the new one does
    // not use are removed with it.
    static bool SetData(const char* key, const std::string& value);
    static bool DeleteData(const char* key);
    // Removes every entry of the working database's spec dictionary.
    static void PurgeAll();

    // Whether a stored value stands for chunks, and how many.
    static bool IsChunkMarker(const std::string& value);
    static int ChunkCount(const std::string& marker);
    static std::string ChunkKey(const char* key, int chunk);

private:
    // DeleteEntry without the report of a failure.
    static bool RemoveEntry(AcDbDatabase* database, const char* key);
    // Removes the chunks first ... end-1 of the key from the data operations' database,
    // stopping at the first that is not there.
    static void RemoveChunks(const char* key, int first, int end);

    // The database the data operations work on: the working one at the time of the call.
    static AcDbDatabase* s_pDatabase;
};
