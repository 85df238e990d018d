#include "tags/id3v2/ID3v2FrameIds.h"

#include <utility>

namespace vantor {

namespace {

constexpr std::pair<std::string_view, std::string_view> Ids22To23[] = {
    { "BUF", "RBUF" },
    { "CNT", "PCNT" },
    { "COM", "COMM" },
    { "CRA", "AENC" },
    { "EQU", "EQUA" },
    { "ETC", "ETCO" },
    { "GEO", "GEOB" },
    { "IPL", "TIPL" },
    { "LNK", "LINK" },
    { "MCI", "MCDI" },
    { "MLL", "MLLT" },
    { "PIC", "APIC" },
    { "POP", "POPM" },
    { "REV", "RVRB" },
    { "RVA", "RVAD" },
    { "SLT", "SYLT" },
    { "STC", "SYTC" },
    { "TAL", "TALB" },
    { "TBP", "TBPM" },
    { "TCM", "TCOM" },
    { "TCO", "TCON" },
    { "TCR", "TCOP" },
    { "TDA", "TDAT" },
    { "TDR", "TRDA" },
    { "TDY", "TDLY" },
    { "TEN", "TENC" },
    { "TFT", "TFLT" },
    { "TIM", "TIME" },
    { "TKE", "TKEY" },
    { "TLA", "TLAN" },
    { "TLE", "TLEN" },
    { "TMT", "TMED" },
    { "TOA", "TOPE" },
    { "TOF", "TOFN" },
    { "TOL", "TOLY" },
    { "TOR", "TORY" },
    { "TOT", "TOAL" },
    { "TP1", "TPE1" },
    { "TP2", "TPE2" },
    { "TP3", "TPE3" },
    { "TP4", "TPE4" },
    { "TPA", "TPOS" },
    { "TPB", "TPUB" },
    { "TRC", "TSRC" },
    { "TRD", "TRDA" },
    { "TRK", "TRCK" },
    { "TSI", "TSIZ" },
    { "TSS", "TSSE" },
    { "TT1", "TIT1" },
    { "TT2", "TIT2" },
    { "TT3", "TIT3" },
    { "TXT", "TEXT" },
    { "TXX", "TXXX" },
    { "TYE", "TYER" },
    { "UFI", "UFID" },
    { "ULT", "USLT" },
    { "WAF", "WOAF" },
    { "WAR", "WOAR" },
    { "WAS", "WOAS" },
    { "WCM", "WCOM" },
    { "WCP", "WCOP" },
    { "WPB", "WPUB" },
    { "WXX", "WXXX" },
};

} // namespace

std::string_view ConvertFrameId22To23(std::string_view Id22)
{
    for (const auto& [From, To] : Ids22To23) {
        if (From == Id22)
            return To;
    }
    return {};
}

} // namespace vantor
