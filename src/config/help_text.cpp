#include "config/parse_setting.h"

#include "base/errors.h"
#include "base/messages.h"

const char* const HelpText1 =
    "Formato del comando: NARRAVOX [opzioni] file[.TXT]|@file[.LST] [file [...]]\r\n"
    "(per i nomi dei file sono ammessi anche i caratteri jolly * e ?)\r\n"
    "Opzioni ammesse:\r\n"
    "/D=dir     cartella di destinazione delle sottocartelle per i file MP3\r\n"
    "/T=A|D|W   tipo testi Dos o Windows\r\n"
    "/G=N|n     numero massimo di file per gruppo (n=5=50)\r\n"
    "/RG=S|N    riunisce le cartelle dei gruppi\r\n"
    "/F=n       dimensione in K dei frammenti\r\n"
    "/RF=testo  testo riga frammentazione manuale\r\n"
    "/NF=testo  stringa da anteporre al nome del file\r\n"
    "/IC=S|N    identificatori cartella\r\n"
    "/CR=S|N    identificatori cartella per Archos RockBox\r\n"
    "/TI=S|N    impostazione dei titoli nei frammenti\r\n"
    "/L=id      lingua (id=IT,UK,FR,SP,DE,PB,US)\r\n"
    "/V=n       voce (n=0-8)\r\n"
    "/VE=n      velocita' di sintesi (n=70-1297)";

const char* const HelpText2 =
    "/TO=n      tonalita' di sintesi (n=70-422)\r\n"
    "/VO=n      volume (n=1-100)\r\n"
    "/PT=n      pausa di silenzio in testa al file MP3 (n=0-5000)\r\n"
    "/PC=n      pausa di silenzio in coda al file MP3 (n=0-5000)\r\n"
    "/SA=8|11   sampling rate di uscita sintesi\r\n"
    "/RS=S|N|n  resampling del flusso MP3 (n=8,11,12,16,22,32,44,48)\r\n"
    "/BR=n      bitrate compressione MP3 (8,16,32,48,64,96,128)\r\n"
    "/I3=S|N    accoda ID3Tag V1\r\n"
    "/P=0|1     priorita' del processo (0-bassa, 1=normale)\r\n"
    "/VB=n      livello di verbosita' (0-3)\r\n"
    "/CC=S|N    conferma cancellazione\r\n"
    "/AF=S|N    avvisi in finestra\r\n"
    "/MF=S|N    minimizzazione finestra\r\n"
    "/TEST      non genera i file ma vocalizza\r\n"
    "/R         riprende l'ultima conversione interrotta\r\n"
    "Comando per l'impostazione della sintesi ECI:\r\n"
    "NARRAVOX /ECISETUP=file|dir";

namespace {

const char* GroupTitle(TSettingGroup group) {
  switch (group) {
    case TSettingGroup::Reading: return msg::kHelpGroupReading;
    case TSettingGroup::Writing: return msg::kHelpGroupWriting;
    case TSettingGroup::Voice: return msg::kHelpGroupVoice;
    case TSettingGroup::Files: return msg::kHelpGroupFiles;
    case TSettingGroup::Running: break;
  }
  return msg::kHelpGroupRunning;
}

}  // namespace

std::string HelpKeys(const TSettingHelp& row) {
  std::string keys = "/" + row.key;
  if (!row.shortKey.empty()) keys = "/" + row.shortKey + ", " + keys;
  return keys;
}

std::string LongHelpText() {
  const std::vector<TSettingHelp> rows = SettingsHelp();
  std::string text = msg::kHelpUsage;
  for (TSettingGroup group : {TSettingGroup::Reading, TSettingGroup::Writing, TSettingGroup::Voice,
                              TSettingGroup::Files, TSettingGroup::Running}) {
    text += std::string("\r\n\r\n") + GroupTitle(group);
    for (const TSettingHelp& row : rows)
      if (row.group == group)
        text += "\r\n" + FormatText(msg::kHelpOptionLine,
                                    {HelpKeys(row), row.summary, row.values, row.defaultValue});
  }
  return text + "\r\n\r\n" + msg::kHelpRequests;
}
