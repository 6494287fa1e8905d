modes 2000000000
modes -1
modes x
warning listing text
unknown
