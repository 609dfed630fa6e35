# Writes a starter configuration file beside the program when none is there.
# Called after the program is linked: cmake -DINI=... -DENGINE=... -P starter-ini.cmake
if(EXISTS "${INI}")
  return()
endif()
set(engine_line "; ECIDLL=percorso della libreria della sintesi vocale")
if(ENGINE)
  set(engine_line "ECIDLL=${ENGINE}")
endif()
file(WRITE "${INI}" "[Narravox]\r
; Impostazioni di Narravox, una riga CHIAVE=valore ciascuna.\r
; Le opzioni della riga comandi (/CHIAVE=valore) prevalgono su queste righe.\r
; Per attivare un esempio togliere il punto e virgola iniziale.\r
;\r
; Cartella di destinazione delle sottocartelle dei file MP3\r
;DESTINAZIONE=.\r
; Dimensione dei frammenti in K (1-128)\r
;FRAMMENTI=16\r
; Numero massimo di file per gruppo (N oppure 5-50)\r
;GRUPPI=N\r
; Lingua (IT, UK, FR, SP, DE, PB, US)\r
;LINGUA=IT\r
; Voce (0-8) e velocita' di sintesi (70-1297)\r
;VOCE=0\r
;VELOCITA=200\r
; Bitrate MP3 in kbit/s\r
;BITRATE=48\r
; Tag ID3 versione 1 in coda ai file MP3 (S/N)\r
;ID3TAG=N\r
; Tag ID3 versione 2.3 in testa ai file MP3, oltre a quello in coda (V2)\r
;ID3TAG=V2\r
; Identificatori vocali per i lettori RockBox: S = clip Speex (lettori attuali),\r
; MP3 = clip MP3 (vecchi lettori Archos con decodificatore hardware), N = nessuno\r
;CARTELLEROCKBOX=N\r
; Con CARTELLEROCKBOX, una clip vocale accanto a ogni file MP3 (S/N)\r
;CLIPFILE=N\r
; Pausa tra i paragrafi e dopo i titoli seguiti da una riga vuota (S/N)\r
;PAUSAPARAGRAFO=S\r
; File MP3 preparati insieme (1-64; 0 o senza valore, uno per processore; 1 su Windows)\r
;PARALLELI=2\r
; Livello di verbosita' (0-3)\r
;VERBOSITA=2\r
${engine_line}\r
")
