#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A caster's source table: one record per line, fields split by ';'.
//
//   STR;RTCM3EPH;Wettzell;RTCM 3.3;1005(10),1077(1);2;GPS+GLO;IGS;DEU;49.14;12.88;0;0;sNTRIP;none;B;N;3600;
//   CAS;caster.example.org;2101;Example;BKG;0;DEU;50.09;8.66;0.0.0.0;0;
//   NET;IGS;IGS;B;N;https://igs.org;none;none;
//   ENDSOURCETABLE
struct StreamRecord {
    std::string mountpoint;
    std::string identifier;
    std::string format;
    std::string formatDetails;
    std::string carrier;
    std::string navSystem;
    std::string network;
    std::string country;
    std::optional<double> latitude;
    std::optional<double> longitude;
    bool nmea = false;  // the caster wants the client's position (GGA)
    std::string solution;
    std::string generator;
    std::string compression;
    std::string authentication;  // N none, B basic, D digest
    std::string fee;
    std::string bitrate;
    std::string misc;

    bool operator==(const StreamRecord&) const = default;
};

struct CasterRecord {
    std::string host;
    std::string port;
    std::string identifier;
    std::string operatorName;
    bool nmea = false;
    std::string country;
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::string fallbackHost;
    std::string fallbackPort;
    std::string misc;

    bool operator==(const CasterRecord&) const = default;
};

struct NetworkRecord {
    std::string identifier;
    std::string operatorName;
    std::string authentication;
    std::string fee;
    std::string webNetwork;
    std::string webStream;
    std::string webRegistration;
    std::string misc;

    bool operator==(const NetworkRecord&) const = default;
};

struct SourceTable {
    std::vector<StreamRecord> streams;
    std::vector<CasterRecord> casters;
    std::vector<NetworkRecord> networks;
    bool complete = false;  // ENDSOURCETABLE was seen
    int rejectedLines = 0;  // lines of no known record

    bool operator==(const SourceTable&) const = default;
};

// The names of the STR fields, in record order, as keys for the CLI.
inline constexpr const char* kStreamFieldNames[] = {
    "mountpoint", "identifier", "format", "formatDetails", "carrier", "navSystem", "network",
    "country", "latitude", "longitude", "nmea", "solution", "generator", "compression",
    "authentication", "fee", "bitrate", "misc"};

SourceTable ParseSourceTable(std::string_view text);

// The fields of one STR line as written, by kStreamFieldNames.
std::vector<std::string> StreamFields(const StreamRecord& record);
