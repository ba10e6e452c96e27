#pragma once

// stelmap-cli ntrip CASTER_TEXT [--to SOURCE] [--output FILE]
//     [--gga LAT,LON,ALT | --gga-from SOURCE] [--duration S] [--sourcetable]
int RunNtripCommand(int argc, char** argv);
