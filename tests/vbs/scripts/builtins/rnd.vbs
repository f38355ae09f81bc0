' Rnd follows VB's sequence: a negative argument reseeds, 0 repeats the last number, none moves on;
' Randomize mixes its seed into the current state.
Dim a, b, i, ok
a = Rnd(-1)
b = Rnd(-1)
out.Print (a = b) & " " & Round(a, 6) & " " & (Rnd(0) = a) & " " & TypeName(Rnd) & " " & (Rnd(-2) = Rnd(-2)) & " " & (Rnd(-2) = a)
b = Rnd
out.Print (b = a) & " " & (Rnd(0) = b)
Rnd -1
Randomize 42
a = Rnd
Randomize 42
out.Print Rnd = a
Rnd -1
Randomize 42
out.Print Rnd = a
ok = True
For i = 1 To 1000
    a = Rnd
    If a < 0 Or a >= 1 Then ok = False
Next
out.Print ok
' EXPECT:
' True 0,224007 True Single True False
' False True
' False
' True
' True
