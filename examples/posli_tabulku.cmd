000001,1,6,1,era
/10-00/;hlavicka
