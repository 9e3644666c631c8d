000001,1,6,1,era
/20-00/D2/;hlavicka
