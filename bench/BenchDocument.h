#pragma once

class DataDocument;

// Fills document with recordCount small log-in records (about 300 bytes each), spread over
// nested groups (top-level groups of ten subgroups, a hundred records each).
void fillBenchDocument(DataDocument& document, int recordCount);
