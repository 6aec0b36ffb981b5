' Reads a number and prints its square and a count down
DEFINE ZAHL WORD
DEFINE QUADRAT WORD
DEFINE I WORD
INPUT ZAHL
QUADRAT = ZAHL * ZAHL
PRINT "Quadrat: "; QUADRAT
FOR I = ZAHL TO 1 STEP -1
PRINT I;
NEXT
PRINT
END
