' Rnd follows VB's sequence: a negative argument reseeds, 0 repeats the last number.
Dim a, b, i, ok
a = Rnd(-1)
b = Rnd(-1)
out.Print a = b
out.Print Round(a, 6)
out.Print Rnd(0) = a
out.Print TypeName(Rnd)
Rnd -1
Randomize 42
a = Rnd
Rnd -1
Randomize 42
out.Print Rnd = a
ok = True
For i = 1 To 200
    a = Rnd
    If a < 0 Or a >= 1 Then ok = False
Next
out.Print ok
' EXPECT:
' True
' 0,224007
' True
' Single
' True
' True
