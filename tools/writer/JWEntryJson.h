#pragma once
// Readable JSON form of entries: the keys are the entry record's field names, texts are UTF-8
// (Windows-1252 in the data file), "Branches" lists the branch entries' identifiers.
#include <nlohmann/json.hpp>

#include <functional>
#include <string>

#include "store/JWEEntryDatFile.h"
#include "tools/writer/JWDatWriter.h"

namespace jw {

using TJWJson = nlohmann::ordered_json;

// One entry object. Fails (EJWError naming the entry and the field) on unknown keys, wrong types,
// texts without a Windows-1252 form or longer than their field's room.
TJWEntryFixture EntryFromJson(const TJWJson& AEntry);

// Writes the "Entries" array of a source description as an entry data file. AOnEntry, when given,
// learns the number of entries written so far after each one.
void WriteEntriesFromJson(const TJWJson& ASource, const std::string& AFileName,
                          const std::function<void(size_t)>& AOnEntry = {});

// Every stored field of entry AId, in the record's field order.
TJWJson DumpEntryJson(TJWEEntryDatFile& AFile, uint32_t AId);

}  // namespace jw
