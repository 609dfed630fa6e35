// Every text that Narravox shows to its user, in one table.
#pragma once

namespace msg {

// Banner and informational stops.
inline constexpr const char* kBanner =
    "Narravox 1.06f - conversione di testi in file MP3 parlati\r\n";
inline constexpr const char* kHint = "Digitare NARRAVOX /? per visualizzare la sintassi del comando";

// Errors, prompts and reports.
inline constexpr const char* kCodeSuffix = " (codice %d)";
inline constexpr const char* kFileNotFound = "Impossibile trovare il file \"%s\"";
inline constexpr const char* kCannotReadFile = "Impossibile leggere il file \"%s\"";
inline constexpr const char* kTitleQuestion = "Narravox - Richiesta";
inline constexpr const char* kYesNoSuffix = " (Si/No)?";
inline constexpr const char* kYes = "S";
inline constexpr const char* kYesLong = "SI";
inline constexpr const char* kNo = "N";
inline constexpr const char* kNoLong = "NO";
inline constexpr const char* kQuestionMark = "?";
inline constexpr const char* kTitleError = "Narravox - Errore";
inline constexpr const char* kErrorPrefix = "* ERRORE: ";
inline constexpr const char* kConsoleIoError = "Errore di lettura o scrittura sulla console";
inline constexpr const char* kOutOfMemory = "Memoria insufficiente";

// Command line and job list.
inline constexpr const char* kInvalidParameter = "Parametro non valido ";
inline constexpr const char* kNoTextFiles = "Nessun file di testo specificato nella riga comandi";
inline constexpr const char* kRecoveryWarningLine = "ATTENZIONE!!! Non modificare questo file.";
inline constexpr const char* kRecoveryFileMissing = "Il file di ripristino non esiste";
inline constexpr const char* kRecoveryFileDamaged = "Errore nel file di ripristino";
inline constexpr const char* kRecoveryFileWrite =
    "Errore durante la scrittura del file di ripristino";
inline constexpr const char* kSearchError = "Errore cercando il percorso \"%s\"";
inline constexpr const char* kResumeWarning =
    "***AVVISO: Alcune impostazioni sono state prelevate dal file di ripristino";

// Errors of the file layer, with the system's reason after them.
inline constexpr const char* kCannotOpenFile = "Cannot open file \"%s\". %s";
inline constexpr const char* kCannotCreateFile = "Cannot create file \"%s\". %s";

// Configuration and engine location.
inline constexpr const char* kConfigLineError = "Errore nel file di configurazione, riga ";
inline constexpr const char* kConfigUpdated = "Aggiornato il file NARRAVOX.INI";
inline constexpr const char* kEngineNotFound =
    "Impossibile trovare la DLL della sintesi vocale; digitare il comando\r\n"
    "NARRAVOX /ECISETUP=nomefile o NARRAVOX /ECISETUP=cartella per specificarne\r\n"
    "la posizione";
inline constexpr const char* kInvalidDataType = "Invalid data type for '%s'";

// Words of the settings' tables that are also the program's own strings.
inline constexpr const char* kWordAuto = "AUTO";
inline constexpr const char* kWordAutoShort = "A";
inline constexpr const char* kWordWindows = "WINDOWS";
inline constexpr const char* kWordWindowsShort = "W";
inline constexpr const char* kWordDos = "DOS";
inline constexpr const char* kWordDosShort = "D";
inline constexpr const char* kWordLow = "BASSA";
inline constexpr const char* kWordNormal = "NORMALE";
inline constexpr const char* kWordHigh = "ALTA";

}  // namespace msg
