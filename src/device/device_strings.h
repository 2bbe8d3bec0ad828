#pragma once
// String-table ids of the texts the reminder logic shows or writes (the
// program's string table and every language module carry them).
namespace velmora::device_strings {

inline constexpr int kCaptionQuestion = 40022;        // "Kysymys"
inline constexpr int kCaptionNote = 40135;            // "Huomautus"
inline constexpr int kProgrammedElsewhere = 40049;    // "Laite on viimeksi ohjelmoitu eri käyttäjätiedoista"
inline constexpr int kStoreAcknowledgementsFor = 40050;  // "...\nTallennetaanko tiedot käyttäjälle %s?"
inline constexpr int kReportAlarms = 40051;           // "Hälytykset"
inline constexpr int kReportProgrammingTime = 40043;  // "Ohjelmointiaika"
inline constexpr int kReportLastAlarm = 40052;        // "Viimeinen hälytys laitteessa"
inline constexpr int kReportName = 40087;             // "Nimi:"
inline constexpr int kReportPhone = 40164;            // "Puhelinnumero:"
inline constexpr int kReportInstructions = 40184;     // "TÄRKEÄÄ TIETOA ..."
// Repetition texts by code 0 to 6 ("Yksittäinen" ... "Joka viikko"); code 7
// ("Joka toinen viikko") has no group in the report.
inline constexpr int kRepeatTexts[] = {40068, 40069, 40070, 40071, 40072, 40073, 40074};
inline constexpr int kRepeatEveryOtherWeek = 40056;

}  // namespace velmora::device_strings
