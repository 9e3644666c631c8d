000001,1,6,1,era
/21-00/11///B000/;plu_xxxx
/20-00/01/;oddeleni_xxxx
