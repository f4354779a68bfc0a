// Result buffers, result codes and the names of entities and selection sets used by the
// command-line services (prompts, system variables, extended data).
#pragma once

#include <cstdint>

using ads_real = double;
using ads_point = ads_real[3];
using ads_name = std::int64_t[2];
using ads_matrix = ads_real[4][4];

enum { X = 0, Y = 1, Z = 2 };

// Results of prompts and services.
#define RTNORM 5100 // request succeeded
#define RTNONE 5000 // no result (an empty reply to a prompt that allows it)
#define RTERROR -5001
#define RTCAN -5002 // cancelled by the user
#define RTREJ -5003 // request rejected
#define RTFAIL -5004
#define RTKWORD -5005 // a keyword was entered

// Types of result-buffer values.
#define RTREAL 5001
#define RTPOINT 5002 // a 2D point
#define RTSHORT 5003
#define RTANG 5004
#define RTSTR 5005
#define RTENAME 5006
#define RTPICKS 5007
#define RTORINT 5008
#define RT3DPOINT 5009
#define RTLONG 5010
#define RTVOID 5014
#define RTLB 5016
#define RTLE 5017
#define RTDXF0 5020

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;
    std::int32_t rlong;
    std::int64_t mnLongPtr;
    ads_name rlname;
    struct {
        std::int32_t clen;
        char* buf;
    } rbinary;
    unsigned char ihandle[8];
};

// One value of a list.  Type codes are the RT* values above, or DXF group codes for entity
// data and extended data (1000 string, 1001 application name, 1002 control string "{"/"}",
// 1010 point, 1040 real, 1070 16-bit integer, 1071 32-bit integer, ...).
struct resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};

// A new buffer of the given type with zeroed value.  String values are owned by the buffer
// (allocated with malloc) and freed by acutRelRb.
resbuf* acutNewRb(int type);
// Frees a whole chain, with its strings and binary chunks.
int acutRelRb(resbuf* chain);
// Builds a chain from (type, value) pairs ended by 0: RTSTR/1000-1005 take a const char*,
// RTREAL/1040-1042 a double, RTSHORT/1070 an int, RTLONG/1071 a 32-bit int, RTPOINT,
// RT3DPOINT and 1010-1013 a const double*.  nullptr for an unknown type.
resbuf* acutBuildList(int firstType, ...);
// Frees a string that the host allocated for the caller (for example AcDbMText::contents).
void acutDelString(char*& str);
// Copies a string into a new malloc'd one (nullptr stays nullptr).
char* acutNewString(const char* str);
// Whether a result-buffer type holds a string / a 3D point, by the ranges of the group codes.
bool acutRbTypeIsString(int type);
bool acutRbTypeIsPoint(int type);
