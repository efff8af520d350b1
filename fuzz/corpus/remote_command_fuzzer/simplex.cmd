command=1
mode=2
state=1
